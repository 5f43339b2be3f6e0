#!/usr/bin/env bash
# Builds and runs the tests. One stage per call:
#   ./test.sh          default build (build/), every suite but the slow label
#   ./test.sh asan     ASan+UBSan build (build-asan/), every suite but the slow and install labels
#   ./test.sh tsan     ThreadSanitizer build (build-tsan/), the suites labelled `threads`
#   ./test.sh fuzz     clang libFuzzer build (build-fuzz/), each target 20 s from its corpus
#   ./test.sh tidy     clang-tidy over every source file (.clang-tidy), any finding fails
# BUILD_DIR, BUILD_TYPE and CMAKE_ARGS change the default stage's build as before.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
stage=${1:-default}
jobs=$(nproc)

configure_and_build() {  # dir, cmake arguments..., -- targets...
  local dir=$1; shift
  local args=() targets=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  targets=("$@")
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${args[@]}"
  if [ ${#targets[@]} -gt 0 ]; then
    cmake --build "$dir" --target "${targets[@]}"
  else
    cmake --build "$dir"
  fi
}

case "$stage" in
  default)
    BUILD=${BUILD_DIR:-build}
    # shellcheck disable=SC2086
    configure_and_build "$BUILD" ${CMAKE_ARGS:-}
    # Most suites wait on sound played in real time or on the tools they start: twice as many
    # at once as there are cores keeps the machine busy.
    (cd "$BUILD" && ctest --output-on-failure -LE slow -j"$((jobs * 2))" --timeout 300)
    ;;
  asan)
    # The benchmarks are no tests: left out of the sanitizer build. The packages are built and
    # checked in the default stage, from the configuration that ships (label `install`).
    configure_and_build build-asan -DJED_SANITIZE=address -DJED_SKIP_DIRS=bench
    (cd build-asan && ctest --output-on-failure -LE 'slow|install' -j"$jobs" --timeout 600)
    ;;
  tsan)
    # The suites whose code runs on more than one thread carry the label `threads` (the player
    # and its streams and callbacks, the effects worker, the audio engine, sound and music,
    # dar3play, the short soak); target threaded_suites builds what they run.
    configure_and_build build-tsan -DJED_SANITIZE=thread -- threaded_suites
    (cd build-tsan && ctest --output-on-failure -L threads -LE slow -j"$jobs" --timeout 900)
    ;;
  fuzz)
    CC=clang CXX=clang++ configure_and_build build-fuzz -DJED_FUZZ=ON
    ci/fuzz.sh build-fuzz 20 2
    ;;
  tidy)
    # Configuring alone gives the compile commands; nothing is generated that a source includes.
    # Without the suites' precompiled header, each file is checked with the includes it names.
    cmake -S . -B build-tidy -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} \
      -DCMAKE_EXPORT_COMPILE_COMMANDS=ON -DCMAKE_DISABLE_PRECOMPILE_HEADERS=ON
    ci/tidy.sh build-tidy "$jobs"
    ;;
  *)
    echo "usage: ./test.sh [default|asan|tsan|fuzz|tidy]" >&2
    exit 2
    ;;
esac
