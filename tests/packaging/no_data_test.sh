#!/usr/bin/env bash
# The installed game without its data: exit status 1 within 5 s and one line naming the folders
# searched. Then a data file that exists but cannot be loaded: reported the same way, status 1.
# usage: no_data_test.sh BUILD_DIR
source "$(dirname "$0")/common.sh"
build=$1
prefix="$scratch/prefix"
for component in libdar3 game; do
  cmake --install "$build" --prefix "$prefix" --component $component >/dev/null
done
data="$prefix/share/jed-grimstorm"
mv "$data" "$scratch/data"
game="$prefix/games/jed-grimstorm"
mkdir -p "$scratch/work" "$scratch/empty"
cd "$scratch/work"

# JED_DATA_DIR naming a folder without the data: that folder is named, nothing else is tried.
status=0
JED_DATA_DIR="$scratch/empty" timeout 5 env -u DISPLAY -u WAYLAND_DISPLAY "$game" 2>"$scratch/message" || status=$?
cat "$scratch/message"
[ $status -eq 1 ] || fail "JED_DATA_DIR without data: exit status $status instead of 1"
[ "$(wc -l <"$scratch/message")" -eq 1 ] || fail "the message is not one line"
grep -qF "JED_DATA_DIR names a folder without the game's data (pictures, sounds, music): $scratch/empty;" \
  "$scratch/message" || fail "the message does not name JED_DATA_DIR's folder"

status=0
timeout 5 env -u DISPLAY -u WAYLAND_DISPLAY -u JED_DATA_DIR "$game" 2>"$scratch/message" || status=$?
cat "$scratch/message"
if [ $status -eq 0 ] && ! grep -q . "$scratch/message"; then
  echo "SKIP: this machine has the data installed system-wide, so the game found it"
  exit 0
fi
[ $status -eq 1 ] || fail "exit status $status instead of 1 (124: still running after 5 s)"
[ "$(wc -l <"$scratch/message")" -eq 1 ] || fail "the message is not one line"
for folder in "$scratch/work" "$data"; do
  grep -qF "$folder" "$scratch/message" || fail "the message does not name $folder"
done
grep -q 'target assets' "$scratch/message" || fail "the message does not say how to generate the data"

# A title picture that is no picture: the game ends with 1 and names the file.
cp -r "$scratch/data" "$scratch/broken"
echo "not a picture" >"$scratch/broken/Grimstorm0.BMP"
status=0
JED_DATA_DIR="$scratch/broken" JED_HEADLESS=1 timeout 5 "$game" 2>"$scratch/message" || status=$?
cat "$scratch/message"
[ $status -eq 1 ] || fail "a broken data file: exit status $status instead of 1"
grep -q 'Grimstorm0.BMP' "$scratch/message" || fail "the message does not name the broken file"
echo "no data: ok"
