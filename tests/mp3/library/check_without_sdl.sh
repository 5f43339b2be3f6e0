#!/usr/bin/env bash
# With libSDL2 unloadable (a mount namespace lays an empty file over it), a decode-only program
# of libdar3 still decodes, and the audio engine still runs: headless it mixes when pulled, and
# the SDL backend falls back to the silent device. Skipped (77) where no mount namespace can be
# made.
# usage: check_without_sdl.sh FIRST_BLOCK_PROGRAM PLATFORM_AUDIO_TESTS
set -euo pipefail
first_block=$1 audio_tests=$2
sdl=$(for dir in /usr/lib/*-linux-gnu /usr/lib /lib/*-linux-gnu; do
        [ -e "$dir/libSDL2-2.0.so.0" ] && readlink -f "$dir/libSDL2-2.0.so.0" && break
      done || true)
[ -n "$sdl" ] || { echo "libSDL2 is not installed: nothing to hide"; sdl=""; }
if ! unshare -rm true 2>/dev/null; then
  echo "no mount namespace here: skipped"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 176400 /dev/zero | lame --quiet -r -s 44.1 --bitwidth 16 - "$work/silence.mp3" 2>/dev/null  # 1 s
# shellcheck disable=SC2016
unshare -rm bash -c '
  set -e
  [ -z "$1" ] || mount --bind /dev/null "$1"
  "$2" "$4"
  "$3" --gtest_brief=1
' hide "$sdl" "$first_block" "$audio_tests" "$work/silence.mp3"
