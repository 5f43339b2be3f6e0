#!/usr/bin/env bash
# Builds and runs the tests. One stage per call:
#   ./test.sh          default build (build/), every suite but the slow label
#   ./test.sh asan     ASan+UBSan build (build-asan/), every suite but the slow label
#   ./test.sh tsan     ThreadSanitizer build (build-tsan/), the threaded suites and a short soak
#   ./test.sh fuzz     clang libFuzzer build (build-fuzz/), each target 60 s from its corpus
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
    (cd "$BUILD" && ctest --output-on-failure -LE slow -j"$jobs" --timeout 300)
    ;;
  asan)
    # The benchmarks are no tests: left out of the sanitizer build.
    configure_and_build build-asan -DJED_SANITIZE=address -DJED_SKIP_DIRS=bench
    (cd build-asan && ctest --output-on-failure -LE slow -j"$jobs" --timeout 600)
    ;;
  tsan)
    # The suites whose code runs on more than one thread: the player and its streams and
    # callbacks, the effects worker, the audio engine, sound and music, dar3play, the soak.
    configure_and_build build-tsan -DJED_SANITIZE=thread -- \
      test_mp3 test_mp3_player test_mp3effects test_dsp test_platform platform_audio_tests sound_tests \
      test_dar3play dar3play soak_tests
    for suite in mp3 mp3effects dsp platform_audio sound dar3play soak; do
      echo "== ThreadSanitizer: tests/$suite"
      (cd "build-tsan/tests/$suite" && ctest --output-on-failure -LE slow -j"$jobs" --timeout 900)
    done
    (cd build-tsan/tests/platform && ctest --output-on-failure -E sdl_smoke -j"$jobs" --timeout 900)
    ;;
  fuzz)
    CC=clang CXX=clang++ configure_and_build build-fuzz -DJED_FUZZ=ON -- fuzz_all
    ci/fuzz.sh build-fuzz 60 2
    ;;
  *)
    echo "usage: ./test.sh [default|asan|tsan|fuzz]" >&2
    exit 2
    ;;
esac
