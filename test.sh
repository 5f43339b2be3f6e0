#!/usr/bin/env bash
# Builds everything and runs the test suites (all but the slow label).
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} ${CMAKE_ARGS:-}
cmake --build "$BUILD"
cd "$BUILD"
ctest --output-on-failure -LE slow -j"$(nproc)" --timeout 300
