#!/usr/bin/env bash
# Starts jed-grimstorm on the SDL backend under Xvfb, presses Enter through the title and the
# story with xdotool until the level's HEALTH bar shows, saves a screenshot of the level and ends the game with SIGTERM, which must
# tear it down and exit with 0. A second run is ended by SIGINT on the title screen: the phases
# still to come are skipped, the tear-down runs, the exit status is 0 as well.
set -euo pipefail
game=$(realpath "$1")
assets=$(realpath "$2")
shot=$(realpath -m "$3")

if [ -z "${JED_SMOKE_INSIDE_XVFB:-}" ]; then
  export JED_SMOKE_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 640x480x24" "$0" "$@"
fi

unset JED_HEADLESS
export SDL_AUDIODRIVER=dummy
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
press_enter() {
  xdotool keydown Return
  sleep 0.3
  xdotool keyup Return
}
# Enter goes from the title to the story and from the story to the level; a press the game did
# not see yet (it was still drawing the previous phase) is repeated.
press_until_level() {
  local end=$((SECONDS + deadline_seconds))
  while [ $SECONDS -lt $end ]; do
    press_enter
    for _ in $(seq 1 12); do
      in_level && return 0
      sleep 0.25
    done
  done
  return 1
}

"$game" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true' EXIT
wait_until has_window || { echo "no game window appeared within ${deadline_seconds} s"; exit 1; }
timeout 10 xdotool windowfocus --sync "$(window_id)" 2>/dev/null || true
wait_until shows_something || { echo "the title never showed"; exit 1; }
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
