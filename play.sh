#!/usr/bin/env bash
# Builds the game (Release), generates its assets and starts it full screen.
set -euo pipefail
cd "$(dirname "$0")"
./deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build
cd build/assets
exec ../game/jed-grimstorm "$@"
