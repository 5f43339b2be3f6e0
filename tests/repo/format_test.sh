#!/usr/bin/env bash
# Every C and C++ file of the repository is in the project's one format (.clang-format at the
# top). Arguments: the source folder, the clang-format program. Names the files that differ and
# shows how to mend them.
set -u
cd "$1" || exit 1
format=${2:-clang-format}
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  files=$(git ls-files -- '*.c' '*.cpp' '*.h' '*.hpp')
else
  files=$(find . -path ./build\* -prune -o \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.hpp' \) -print)
fi
# Many files per clang-format call, in parallel; the files of a failing batch are named one by one.
mapfile -t bad < <(printf '%s\n' $files | xargs -r -P "$(nproc)" -n 40 sh -c '
  "$0" --dry-run -Werror "$@" >/dev/null 2>&1 && exit 0
  for f in "$@"; do "$0" --dry-run -Werror "$f" >/dev/null 2>&1 || echo "$f"; done' "$format")
if [ ${#bad[@]} -gt 0 ]; then
  echo "${#bad[@]} files differ from .clang-format:"
  printf '  %s\n' "${bad[@]}"
  echo "Mend them with: $format -i FILE..."
  exit 1
fi
echo "$(echo "$files" | wc -w) files formatted"
