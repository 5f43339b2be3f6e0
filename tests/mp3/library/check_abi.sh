#!/usr/bin/env bash
# libdar3's ABI against the committed description (libabigail). An incompatible change fails;
# so does a compatible one (a new export or type) until the description is refreshed in the
# same commit: cmake --build build --target dar3_abi_update.
# usage: check_abi.sh LIBDAR3 HEADERS_DIR COMMITTED.abi   (exit 77: no debug information)
set -uo pipefail
library=$1
headers=$2
committed=$3
command -v abidiff >/dev/null || { echo "abidiff is missing (deps.sh installs abigail-tools)"; exit 1; }
if ! readelf -S "$library" | grep -q '\.debug_info'; then
  echo "skipped: $library has no debug information (a Release build); the ABI is read from it"
  exit 77
fi
current=$(mktemp --suffix=.abi)
trap 'rm -f "$current"' EXIT
"$(dirname "$committed")/write_abi.sh" "$library" "$headers" "$current" || exit 1
abidiff "$committed" "$current" >"$current.report" 2>&1
status=$?
cat "$current.report"
rm -f "$current.report"
# abidiff's status bits: 1 error, 2 usage, 4 a change, 8 an incompatible change.
if (( status & 8 )); then
  echo "FAIL: an incompatible change of libdar3's ABI (see above); keep the old one, or change the SONAME"
  exit 1
elif (( status & 3 )); then
  echo "FAIL: abidiff could not compare (status $status)"
  exit 1
elif (( status & 4 )); then
  echo "FAIL: libdar3's ABI grew compatibly; refresh the description in the same commit:"
  echo "  cmake --build <build> --target dar3_abi_update"
  exit 1
fi
echo "libdar3's ABI matches $(basename "$committed")"
