#!/usr/bin/env bash
# libdar3's exports: exactly the functions dar3.h declares, each under a DAR3_ version node,
# each with a manual entry (its own page naming a group page that documents it), and every
# manual page free of groff warnings.
# usage: check_exports.sh LIBDAR3 DAR3_H MAN3_DIR
set -uo pipefail
library=$1
header=$2
man3=$3
status=0
fail() { echo "FAIL: $*"; status=1; }

declared=$(grep -oE '^DAR3_API [^(]*[ *]([A-Za-z0-9_]+)\(' "$header" | grep -oE '[A-Za-z0-9_]+\($' | tr -d '(' | sort)
exported=$(nm -D --defined-only --with-symbol-versions "$library" | awk '$2 ~ /^[TW]$/ {print $3}' | sort)
names=$(sed 's/@.*//' <<<"$exported")
[ -n "$declared" ] || fail "no declarations found in $header"
[ "$declared" = "$names" ] || fail "exports and declarations differ:
$(diff <(echo "$declared") <(echo "$names"))"
unversioned=$(grep -v '@@DAR3_' <<<"$exported")
[ -z "$unversioned" ] || fail "exports without a DAR3_ version node: $unversioned"
readelf -V "$library" | grep -q 'Name: DAR3_' || fail "readelf -V lists no DAR3_ version definition"

for name in $declared; do
  page="$man3/$name.3"
  [ -f "$page" ] || { fail "$name has no manual page"; continue; }
  group=$(sed -n 's#^\.so man3/\(.*\)$#\1#p' "$page")
  [ -n "$group" ] && [ -f "$man3/$group" ] || { fail "$name.3 names no group page"; continue; }
  grep -q "^\.SS $name\$" "$man3/$group" || fail "$group has no entry for $name"
done
for page in "$man3"/dar3*.3; do
  warnings=$(groff -ww -z -man "$page" 2>&1)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
[ -f "$man3/dar3.3" ] || fail "no dar3(3) overview"
[ $status -eq 0 ] && echo "$(wc -w <<<"$declared") exports, each versioned and documented; $(ls "$man3"/dar3*.3 | wc -l) pages without warnings"
exit $status
