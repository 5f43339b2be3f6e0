#!/usr/bin/env bash
# A decode-only program of libdar3 (the no-output mode) maps few shared libraries and no SDL,
# and still decodes with the SDL libraries absent from the search path.
# usage: check_decode_only.sh PROGRAM
set -euo pipefail
program=$1
max_libraries=12
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 176400 /dev/zero | lame --quiet -r -s 44.1 --bitwidth 16 - "$work/silence.mp3" 2>/dev/null  # 1 s

out=$("$program" "$work/silence.mp3")
echo "$out"
read -r _ libraries _ sdl _ <<<"$out"
failed=0
[ "$libraries" -le $max_libraries ] || { echo "FAIL: $libraries libraries mapped, at most $max_libraries allowed"; failed=1; }
[ "$sdl" = 0 ] || { echo "FAIL: SDL mapped by a program that only decodes"; failed=1; }
exit $failed
