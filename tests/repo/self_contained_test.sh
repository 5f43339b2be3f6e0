#!/usr/bin/env bash
# A clone of this repository alone builds and passes its tests: nothing in the build, the test
# scripts or CI names a path outside the checkout. Argument: the source folder.
set -u
cd "$1" || exit 1
pattern='\.\./(shared|testdata)|/work/|/home/[a-z]|/root/|\$ENV\{HOME\}'
hits=$(git ls-files -- 'CMakeLists.txt' '*/CMakeLists.txt' '*.cmake' '*.sh' '.ci/*' 'ci/*' 'deps.sh' 2>/dev/null \
  | grep -v '^tests/repo/self_contained_test.sh$' | xargs -r grep -nE "$pattern" 2>/dev/null)
if [ -z "$(git ls-files 2>/dev/null | head -1)" ]; then
  # Not a git checkout (an exported tree): look at the same kinds of files by name.
  hits=$(find . -path ./build -prune -o \( -name CMakeLists.txt -o -name '*.cmake' -o -name '*.sh' \) -print \
    | grep -v 'tests/repo/self_contained_test.sh' | xargs -r grep -nE "$pattern")
fi
if [ -n "$hits" ]; then
  echo "Paths outside the checkout:"
  echo "$hits"
  exit 1
fi
echo "no path outside the checkout"
