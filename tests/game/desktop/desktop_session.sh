#!/usr/bin/env bash
# The game on a desktop: a virtual X server with a window manager, keys typed with xdotool.
#   1. Display: Alt+Enter and F11 switch between full screen and a window, a resized window keeps
#      the picture whole (compared pixel by pixel with the game's own F12 screenshot), and the
#      choice is in the settings file and survives a restart.
#   2. A recorded run through the title, the story and part of the level, with the window losing
#      the focus (the level pauses) and F12 screenshots; jedreplay --script on the recording
#      must end in the same state line and give the same pictures.
# Usage: desktop_session.sh GAME JEDREPLAY ASSET_DIR WORK_DIR
set -euo pipefail
game=$(realpath "$1")
jedreplay=$(realpath "$2")
assets=$(realpath "$3")
work=$(realpath -m "$4")

if [ -z "${JED_DESKTOP_INSIDE_XVFB:-}" ]; then
  export JED_DESKTOP_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi

rm -rf "$work"
mkdir -p "$work/pictures"
unset JED_HEADLESS JED_WINDOWED
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config" XDG_PICTURES_DIR="$work/pictures"
settings="$XDG_CONFIG_HOME/jed-grimstorm/settings.ini"
cd "$assets"

pids=()
cleanup() { for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; }
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

find_window() {  # the game's window (SDL probes the display with short-lived ones first)
  local found="" again=""
  for _ in $(seq 1 80); do
    found=$(xdotool search --onlyvisible --name "^Jed Grimstorm$" 2>/dev/null | tail -1 || true)
    if [ -n "$found" ]; then
      sleep 0.3
      again=$(xdotool search --onlyvisible --name "^Jed Grimstorm$" 2>/dev/null | tail -1 || true)
      [ "$found" = "$again" ] && xwininfo -id "$found" >/dev/null 2>&1 && break
    fi
    found=""
    sleep 0.25
  done
  [ -n "$found" ] || fail "no game window appeared"
  echo "$found"
}
size_of() { xwininfo -id "$1" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
wait_for_size() {  # window, expected WxH
  for _ in $(seq 1 40); do
    [ "$(size_of "$1")" = "$2" ] && return 0
    sleep 0.1
  done
  fail "window is $(size_of "$1"), expected $2"
}
tap() {  # a key held long enough for a frame to see it
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}
shots() { ls "$work/pictures" | sort; }
last_shot() { echo "$work/pictures/$(shots | tail -1)"; }
take_shot() {  # F12; waits for the new file
  local before
  before=$(shots | wc -l)
  tap F12
  for _ in $(seq 1 40); do
    [ "$(shots | wc -l)" -gt "$before" ] && return 0
    sleep 0.1
  done
  fail "F12 wrote no screenshot"
}
# The picture as the window shows it: the letterboxed area cut out of a capture of the window,
# one sample per picture pixel, must equal the game's own screenshot.
expect_whole_picture() {  # window, scale, name
  local window=$1 scale=$2 name=$3 size w h pw ph
  size=$(size_of "$window")
  w=${size%x*}
  h=${size#*x}
  pw=$((640 * scale))
  ph=$((480 * scale))
  import -window "$window" "$work/$name-window.png"
  convert "$work/$name-window.png" -crop "${pw}x${ph}+$(((w - pw) / 2))+$(((h - ph) / 2))" +repage \
    -sample 640x480! "$work/$name-picture.png"
  take_shot
  local differing
  differing=$(compare -metric AE "$work/$name-picture.png" "$(last_shot)" null: 2>&1 || true)
  [ "$differing" = "0" ] || fail "$name: the window shows $differing pixels unlike the picture"
  echo "$name: ${size} window, picture whole at ${scale}x"
}

# --- 1. Display modes -----------------------------------------------------------------------
# Whole factors, so the window's pixels can be compared one for one with the screenshot (the fit
# scaling's smooth step is checked in any_screen.sh).
mkdir -p "${settings%/*}"
printf '# whole factors for exact pictures\n[display]\nscaling = integer\n' >"$settings"
"$game" >"$work/display.out" 2>&1 &
game_pid=$!
pids+=($game_pid)
window=$(find_window)
xdotool windowfocus --sync "$window" 2>/dev/null || true
wait_for_size "$window" 1920x1080
grep -q "^mode" "$settings" && fail "the player's own file was rewritten before anything changed"
sleep 1
expect_whole_picture "$window" 2 fullscreen
tap_alt_enter() {
  xdotool keydown alt keydown Return
  sleep 0.15
  xdotool keyup Return keyup alt
}
tap_alt_enter
wait_for_size "$window" 1280x960
grep -q "^mode = window" "$settings" || fail "the window mode was not saved"
grep -q "^walk_left = Left$" "$settings" && head -1 "$settings" | grep -q "^# whole factors" ||
  fail "the rewrite did not complete the settings file, keeping its comment"
sleep 0.5
expect_whole_picture "$window" 2 window
# Alt+Enter is not the game's Enter: the title is still up (its picture is unchanged).
compare -metric AE "$work/fullscreen-picture.png" "$work/window-picture.png" null: 2>/dev/null ||
  fail "Alt+Enter went on from the title"
xdotool windowsize "$window" 900 700
wait_for_size "$window" 900x700
sleep 0.5
expect_whole_picture "$window" 1 resized
grep -q "^width = 900" "$settings" && grep -q "^height = 700" "$settings" || fail "the new size was not saved"
xdotool windowsize "$window" 400 300
wait_for_size "$window" 400x300
sleep 0.5
import -window "$window" "$work/small-window.png"
tap F11
wait_for_size "$window" 1920x1080
grep -q "^mode = fullscreen" "$settings" || fail "F11 to full screen was not saved"
tap F11
wait_for_size "$window" 400x300
kill -TERM $game_pid
wait $game_pid || fail "the game did not end cleanly"
grep -q "^mode = window" "$settings" || fail "the window mode was not saved"

"$game" >"$work/restart.out" 2>&1 &
game_pid=$!
pids+=($game_pid)
window=$(find_window)
wait_for_size "$window" 400x300
echo "restart: the window comes back at 400x300"
kill -TERM $game_pid
wait $game_pid || fail "the game did not end cleanly"
rm -f "$settings"

# --- 2. A recorded run, replayed ----------------------------------------------------------
xmessage -name other-window "another program" &
pids+=($!)
rm -f "$work"/pictures/*
"$game" --record "$work/run.keys" >"$work/run.out" 2>"$work/run.err" &
game_pid=$!
pids+=($game_pid)
window=$(find_window)
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 1
tap Return # title -> story
sleep 1.5
tap Return # story -> level
sleep 1
xdotool keydown Right
sleep 2.5
xdotool keyup Right
for key in space Up space shift space; do
  tap $key
  sleep 0.1
done
take_shot # the level, mid-fight
other=$(xdotool search --onlyvisible --class xmessage | head -1)
xdotool windowfocus --sync "$other"
sleep 0.5
xdotool windowfocus --sync "$window"
sleep 0.3
take_shot # paused by the lost focus
tap Escape
for _ in $(seq 1 100); do
  kill -0 $game_pid 2>/dev/null || break
  sleep 0.1
done
kill -0 $game_pid 2>/dev/null && fail "Escape did not end the paused level"
wait $game_pid || fail "the recorded run did not end cleanly"

game_line=$(grep '^phase=' "$work/run.out")
echo "game:      $game_line"
grep -q " unfocus" "$work/run.keys" || fail "the focus loss is not in the recording"
replay_args=()
shot_number=0
while read -r frame path; do
  shot_number=$((shot_number + 1))
  replay_args+=(--shot "$frame:$work/replay-$shot_number.png")
  echo "$path" >"$work/shot-$shot_number.path"
done < <(sed -n 's/^# screenshot of frame \([0-9]*\): \(.*\)$/\1 \2/p' "$work/run.keys")
[ "$shot_number" -eq 2 ] || fail "the recording names $shot_number screenshots, not 2"
"$jedreplay" --script "$work/run.keys" "${replay_args[@]}" --texts >"$work/replay.out"
replay_line=$(grep '^phase=' "$work/replay.out")
echo "jedreplay: $replay_line"
[ "$game_line" = "$replay_line" ] || fail "the replay ended elsewhere"
echo "$game_line" | grep -q "phase=Finished" || fail "the run did not finish"
echo "$game_line" | grep -Eq "screen=[0-9]+ health=" || fail "no level state"
grep -q "^text: PAUSED:" "$work/replay.out" || fail "the last frames do not show the pause text"
for n in 1 2; do
  differing=$(compare -metric AE "$work/replay-$n.png" "$(cat "$work/shot-$n.path")" null: 2>&1 || true)
  [ "$differing" = "0" ] || fail "screenshot $n: $differing pixels differ from the replay"
done
echo "recorded run: same state line, both screenshots pixel-identical in the replay"
echo "desktop session passed"
