#!/usr/bin/env bash
# Installs the Debian packages the build, the game and the tests need (only those missing).
set -euo pipefail
PACKAGES=(
  build-essential cmake ninja-build pkg-config
  libsdl2-dev libsdl2-ttf-dev fonts-dejavu-core
  libmad0-dev libfluidsynth-dev timgm6mb-soundfont
  libpng-dev libmp3lame-dev libncurses-dev libcurl4-openssl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth mpg123 sox libfftw3-dev libkissfft-dev imagemagick
  python3-mutagen id3v2 xdotool openbox x11-utils
  lame madplay ffmpeg tmux procps time   # procps: pgrep in the dar3play tests; time: its benchmark
  libsystemd-dev dbus playerctl   # dar3play's MPRIS (sd-bus); its test drives it on a private bus
  clang libclang-rt-14-dev llvm   # sanitizer and fuzz stages (./test.sh asan|tsan|fuzz)
  clang-tidy-22   # static analysis stage (./test.sh tidy): skips system headers, 2.5x faster than 14
  lintian desktop-file-utils appstream   # checks of the packages and desktop files
  clang-format                           # the one source format (tests/repo/format_test.sh)
  abigail-tools python3-pytest   # libdar3's ABI check; the Python binding's tests
  icecast2 ezstream              # dar3play's web streams: a real radio server and its source
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing missing packages: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -q
  $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
