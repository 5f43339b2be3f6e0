#!/usr/bin/env bash
# NEEDED entries of a program linked against libdar3.so alone, of libdar3.so, and of the
# platform libraries libdar3 brings: each against its allow-list.
# usage: check_needed.sh PROGRAM LIBDAR3 LIBCORE LIBAUDIO
set -euo pipefail
program=$1 dar3=$2 core=$3 audio=$4
failed=0

needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }
soname() { readelf -d "$1" | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p'; }

# check FILE ALLOWED...: every NEEDED entry of FILE is one of ALLOWED (sonames, or patterns).
check() {
  local file=$1; shift
  local entry allowed ok
  for entry in $(needed "$file"); do
    ok=0
    for allowed in "$@"; do
      # shellcheck disable=SC2053
      [[ $entry == $allowed ]] && ok=1
    done
    if [ $ok = 0 ]; then
      echo "FAIL: $(basename "$file") needs $entry (allowed: $*)"
      failed=1
    fi
  done
  echo "$(basename "$file"): $(needed "$file" | tr '\n' ' ')"
}

runtime=(libstdc++.so.6 libm.so.6 libgcc_s.so.1 libc.so.6 'ld-linux*.so.*')
# Sanitizer builds add their runtimes.
runtime+=('libasan.so.*' 'libubsan.so.*' 'libtsan.so.*')
check "$program" "$(soname "$dar3")" "${runtime[@]}"
check "$dar3" "$(soname "$core")" "$(soname "$audio")" libmad.so.0 "${runtime[@]}"
check "$core" "${runtime[@]}"
check "$audio" "$(soname "$core")" "${runtime[@]}"
for name in "$(soname "$dar3")" "$(soname "$core")" "$(soname "$audio")"; do
  case $name in
    libdar3*) ;;
    *) echo "FAIL: $name is not named after libdar3"; failed=1 ;;
  esac
done
exit $failed
