#!/usr/bin/env bash
# Starts jed-grimstorm on the SDL backend under Xvfb, presses Enter through the title and the
# story with xdotool, saves a screenshot of the level and ends the game with SIGTERM, which must
# tear it down and exit with 0. A second run is ended by SIGINT on the title screen: the phases
# still to come are skipped, the tear-down runs, the exit status is 0 as well.
# usage: sdl_smoke.sh GAME WORKING_DIR LEVEL_SHOT.png [TITLE_SHOT.png]
set -euo pipefail
game=$(realpath "$1")
assets=$(realpath "$2")
shot=$(realpath -m "$3")
title_shot=""
[ -z "${4:-}" ] || title_shot=$(realpath -m "$4")

if [ -z "${JED_SMOKE_INSIDE_XVFB:-}" ]; then
  export JED_SMOKE_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi

unset JED_HEADLESS
export SDL_AUDIODRIVER=dummy
cd "$assets"
"$game" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT

# A search can fail with an X error when a window goes away while it looks (SDL probes the
# display at start-up): ask again until the game's window is there.
find_window() {
  local found=""
  for _ in $(seq 1 80); do
    found=$(xdotool search --name "Jed Grimstorm" 2>/dev/null | head -1 || true)
    [ -n "$found" ] && break
    sleep 0.25
  done
  echo "$found"
}
window=$(find_window)
[ -n "$window" ] || { echo "no game window appeared"; exit 1; }
xdotool windowfocus --sync "$window" 2>/dev/null || true
press_enter() {
  xdotool keydown Return
  sleep 0.3
  xdotool keyup Return
}
sleep 1
[ -z "$title_shot" ] || import -window root "$title_shot"
press_enter   # title -> story
sleep 2
press_enter   # story -> level
sleep 3
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
[ -n "$(find_window)" ] || { echo "no game window appeared"; exit 1; }
sleep 1
kill -INT $pid
status=0
timeout 20 tail --pid=$pid -f /dev/null || { echo "SIGINT on the title did not end the game"; exit 1; }
wait $pid || status=$?
trap - EXIT
echo "SIGINT on the title: exit status $status"
[ "$status" -eq 0 ]
