#!/usr/bin/env bash
# Starts jed-grimstorm on the SDL backend under Xvfb, presses Enter through the title and the
# story with xdotool until the level's HEALTH bar shows, saves a screenshot of the level and ends the game with SIGTERM, which must
# tear it down and exit with 0. A second run is ended by SIGINT on the title screen: the phases
# still to come are skipped, the tear-down runs, the exit status is 0 as well. Given a title
# picture, the first run also waits until the screen shows exactly that picture.
# usage: sdl_smoke.sh GAME WORKING_DIR LEVEL_SHOT.png [TITLE_PICTURE]
set -euo pipefail
game=$(realpath "$1")
assets=$(realpath "$2")
shot=$(realpath -m "$3")
title_picture=""
[ -z "${4:-}" ] || title_picture=$(realpath "$4")

if [ -z "${JED_SMOKE_INSIDE_XVFB:-}" ]; then
  export JED_SMOKE_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi

unset JED_HEADLESS
export SDL_AUDIODRIVER=dummy
# The game writes its settings on the first start: into a scratch home beside the screenshot,
# not the user's.
scratch_home="${shot%.png}-home"
rm -rf "$scratch_home"
export XDG_CONFIG_HOME="$scratch_home/config" XDG_DATA_HOME="$scratch_home/data"
cd "$assets"
# Every wait is for a condition, with a deadline long enough for a busy machine.
deadline_seconds=60

# True when the screen shows what `import` reads with the given crop and test; the window fills
# the 640x480 screen one to one.
screen_mean() { import -window root -colorspace gray -format '%[fx:mean]' info: 2>/dev/null || echo 0; }
shows_something() { awk -v m="$(screen_mean)" 'BEGIN { exit !(m > 0.01) }'; }
# The level's HEALTH bar: one colour, not black, along rows 6..9 of x 100..399.
in_level() {
  local found
  found=$(import -window root -crop 300x4+100+6 +repage -format '%k %[fx:mean]' info: 2>/dev/null || true)
  awk -v k="${found%% *}" -v m="${found##* }" 'BEGIN { exit !(k == 1 && m > 0) }'
}
wait_until() {  # command...: true once it holds, false after the deadline
  local end=$((SECONDS + deadline_seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.25
  done
}
# A search can fail with an X error when a window goes away while it looks (SDL probes the
# display at start-up): ask again until the game's window is there.
window_id() { xdotool search --name "Jed Grimstorm" 2>/dev/null | head -1 || true; }
has_window() { [ -n "$(window_id)" ]; }
title_shot="${shot%.png}-title.png"
# The picture above the bottom rows, where the desktop game writes its key hints (options and
# scores) over the title picture.
above_hints() { convert "$1" -crop 640x440+0+0 +repage "$2"; }
shows_title() {
  import -window root "$title_shot" 2>/dev/null && above_hints "$title_shot" "$title_shot.top.png" &&
    above_hints "$title_picture" "$title_shot.expected.png" &&
    [ "$(compare -metric AE "$title_shot.top.png" "$title_shot.expected.png" null: 2>&1)" = 0 ]
}
press_enter() {
  xdotool keydown Return
  sleep 0.3
  xdotool keyup Return
}
# Enter goes from the title to the story and from the story to the level. A press is repeated
# only when the game did not see it (the screen stayed as it was); a second press after the
# level has come up would pause it, so every press waits for its phase change to be drawn.
screen_signature() { import -window root -depth 8 rgb:- 2>/dev/null | md5sum | cut -d' ' -f1; }
changed_from() { [ "$(screen_signature)" != "$1" ] || in_level; }
settled() {
  local a b
  a=$(screen_signature); sleep 0.5; b=$(screen_signature)
  [ "$a" = "$b" ] || in_level
}
press_until_level() {
  local end=$((SECONDS + deadline_seconds)) before
  while [ $SECONDS -lt $end ]; do
    in_level && return 0
    before=$(screen_signature)
    press_enter
    deadline_seconds=10 wait_until changed_from "$before" || continue
    deadline_seconds=20 wait_until settled || true
  done
  in_level
}

"$game" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT
wait_until has_window || { echo "no game window appeared within ${deadline_seconds} s"; exit 1; }
timeout 10 xdotool windowfocus --sync "$(window_id)" 2>/dev/null || true
wait_until shows_something || { echo "the title never showed"; exit 1; }
if [ -n "$title_picture" ]; then
  wait_until shows_title || { echo "the title frame ($title_shot) never matched $title_picture"; exit 1; }
  echo "the title frame matches $title_picture"
fi
press_until_level || { echo "the level never showed within ${deadline_seconds} s"; exit 1; }
import -window root "$shot"
kill -0 $pid || { echo "the game ended early"; exit 1; }

kill -TERM $pid
status=0
wait $pid || status=$?
trap - EXIT
echo "exit status $status, screenshot $shot"
[ "$status" -eq 0 ]

"$game" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT
wait_until has_window || { echo "no game window appeared within ${deadline_seconds} s"; exit 1; }
wait_until shows_something || { echo "the title never showed"; exit 1; }
kill -INT $pid
status=0
timeout $deadline_seconds tail --pid=$pid -f /dev/null || { echo "SIGINT on the title did not end the game"; exit 1; }
wait $pid || status=$?
trap - EXIT
echo "SIGINT on the title: exit status $status"
[ "$status" -eq 0 ]
