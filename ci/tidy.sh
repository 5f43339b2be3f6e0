#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over every C/C++ source file of the repository:
#   ci/tidy.sh [build dir] [files at once] [source files...]
# The build dir needs only configuring, with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON; each file is
# checked with its own compile command. The few files no build compiles (the fuzz targets, which
# only a clang fuzz build has, and the installed examples) get the project's include flags.
# A header's findings are reported once, however many files include it. Any finding fails:
# prints them, then their count per check, and exits 1. Given source files, checks only those.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${1:-build-tidy}
# Version 22 matches only the project's own declarations (14 walks every system header too,
# at 2.5 times the cost); CLANG_TIDY picks another.
tidy=${CLANG_TIDY:-clang-tidy-22}
parallel=${2:-$(nproc)}
shift $(( $# < 2 ? $# : 2 ))
db=$build/compile_commands.json
if [ ! -f "$db" ]; then
  echo "ci/tidy.sh: no $db (configure $build with -DCMAKE_EXPORT_COMPILE_COMMANDS=ON)" >&2
  exit 2
fi
logs=$build/tidy-logs
rm -rf "$logs"
mkdir -p "$logs"

if [ $# -gt 0 ]; then
  sources=("$@")
elif git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t sources < <(git ls-files '*.c' '*.cpp')
else
  mapfile -t sources < <(find . -path './build*' -prune -o \( -name '*.c' -o -name '*.cpp' \) -print | sed 's|^\./||' | sort)
fi
# Files with an entry in the compile commands, as paths from the root.
mapfile -t compiled < <(python3 -c '
import json, os, sys
for e in json.load(open(sys.argv[1])):
    print(os.path.relpath(os.path.join(e["directory"], e["file"]), sys.argv[2]))
' "$db" "$root" | sort -u)

# Include flags for the files outside the build: the root, the public headers, the libraries'.
extra_flags="-I$root -I$root/mp3/include $(pkg-config --cflags sdl2 fluidsynth mad)"

check_one() {  # file; writes the findings to the log of that file
  local file=$1 log=$logs/${1//\//_}.log
  # The analyzer in its shallow mode (shorter paths, fewer calls followed): less than half the
  # time of the deep one, which would take the stage past ten minutes.
  local args=(--quiet --warnings-as-errors='*' "--header-filter=^$root/" -p "$build"
              --extra-arg=-Xclang --extra-arg=-analyzer-config --extra-arg=-Xclang
              --extra-arg=mode=shallow "$file")
  if ! grep -qxF "$file" <<<"$compiled_list"; then
    local std=-std=c++20
    [[ $file == *.c ]] && std=-std=c11
    # shellcheck disable=SC2086
    args+=(-- "$std" $extra_flags)
  fi
  local status=0
  "$tidy" "${args[@]}" >"$log" 2>&1 || status=$?
  # A failure without a finding (a crash, a missing file) is one too.
  if [ "$status" -ne 0 ] && ! grep -qE "$finding" "$log"; then
    echo "$root/$file:1:1: error: clang-tidy failed with status $status [clang-tidy-failure]" >>"$log"
  fi
}
export -f check_one
finding='^[^ ].*:[0-9]+:[0-9]+: (warning|error): .*\[[^]]+\]$'
export root build logs extra_flags finding tidy
compiled_list=$(printf '%s\n' "${compiled[@]}")
export compiled_list

start=$(date +%s)
printf '%s\0' "${sources[@]}" | xargs -0 -n 1 -P "$parallel" bash -c 'check_one "$1"' _
seconds=$(( $(date +%s) - start ))

# One line per finding (a header's appear once), then the notes are left to the logs.
findings=$(cat "$logs"/*.log | grep -E "$finding" | sed "s/,-warnings-as-errors]$/]/" | sort -u || true)
count=0
[ -n "$findings" ] && count=$(wc -l <<<"$findings")
echo "clang-tidy: ${#sources[@]} files in ${seconds}s, $count findings (logs in $logs)"
if [ "$count" -gt 0 ]; then
  printf '%s\n' "$findings" | sed "s|^$root/||"
  echo "findings per check:"
  sed -E 's/.*\[([^]]+)\]$/\1/' <<<"$findings" | sort | uniq -c | sort -rn
  exit 1
fi
