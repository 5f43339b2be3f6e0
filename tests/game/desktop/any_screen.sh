#!/usr/bin/env bash
# The game on common screens under a window manager: for each scaling setting the picture's size
# full screen (fit fills the height), the window after F11 entirely on the desktop with its frame,
# the window's icon; and the honest failures: no display, and a display that cannot start.
# Prints "screen scaling WxH" lines (the figures). Usage: any_screen.sh GAME ASSET_DIR WORK_DIR [WxH]
set -euo pipefail
self=$(realpath "$0")
game=$(realpath "$1")
assets=$(realpath "$2")
work=$(realpath -m "$3")
screen=${4:-}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if [ -z "$screen" ]; then
  rm -rf "$work"
  mkdir -p "$work"
  cd "$assets"
  # No display at all: one line, status 1, at once (never an invisible game).
  status=0
  start=$(date +%s%N)
  env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER -u JED_HEADLESS SDL_AUDIODRIVER=dummy \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" timeout 10 "$game" >"$work/none.out" 2>&1 || status=$?
  took=$((($(date +%s%N) - start) / 1000000))
  cat "$work/none.out"
  [ $status -eq 1 ] || fail "without a display: status $status (124: still running after 10 s)"
  [ "$(wc -l <"$work/none.out")" -eq 1 ] || fail "without a display: not one line"
  [ $took -lt 2000 ] || fail "without a display: $took ms"
  echo "no display: status 1 after $took ms"
  # A display named but not there.
  status=0
  env -u WAYLAND_DISPLAY -u JED_HEADLESS DISPLAY=:987 SDL_VIDEODRIVER=x11 SDL_AUDIODRIVER=dummy \
    XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" timeout 10 "$game" >"$work/gone.out" 2>&1 || status=$?
  cat "$work/gone.out"
  [ $status -eq 1 ] || fail "a display that cannot start: status $status"
  grep -q "Cannot start the display" "$work/gone.out" || fail "a display that cannot start: no message"
  for size in 1366x768 1920x1080; do
    JED_SCREEN_INSIDE_XVFB=1 xvfb-run -a -s "-screen 0 ${size}x24" "$self" "$game" "$assets" "$work" "$size"
  done
  exit 0
fi

unset JED_HEADLESS JED_WINDOWED SDL_VIDEODRIVER
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/$screen/config" XDG_DATA_HOME="$work/$screen/data"
settings="$XDG_CONFIG_HOME/jed-grimstorm/settings.ini"
screen_w=${screen%x*}
screen_h=${screen#*x}
mkdir -p "$work/$screen"
cd "$assets"
pids=()
cleanup() { for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done; }
trap cleanup EXIT
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 1

find_window() {
  local found=""
  for _ in $(seq 1 120); do
    found=$(xdotool search --onlyvisible --name "^Jed Grimstorm$" 2>/dev/null | tail -1 || true)
    [ -n "$found" ] && xwininfo -id "$found" >/dev/null 2>&1 && break
    found=""
    sleep 0.25
  done
  [ -n "$found" ] || fail "no game window appeared"
  echo "$found"
}
geometry() { xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
  /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'; }
# The picture's box in a capture of the whole screen: everything not black.
picture_box() {
  import -window root "$work/$screen/$1.png"
  convert "$work/$screen/$1.png" -trim -format '%w %h %X %Y' info: | tr -d '+'
}
near() { [ $(($1 - $2)) -le 2 ] && [ $(($2 - $1)) -le 2 ]; }
wait_for_box() {  # name, expected "W H" (give or take a pixel row of the picture's own black edge)
  local box="" w h
  for _ in $(seq 1 40); do
    box=$(picture_box "$1")
    read -r w h _ _ <<<"$box"
    near "$w" "${2% *}" && near "$h" "${2#* }" && echo "$box" && return 0
    sleep 0.25
  done
  fail "$1: the picture is ${box% * *}, expected $2"
}
tap() {
  xdotool keydown "$1"
  sleep 0.15
  xdotool keyup "$1"
}

declare -A expected
fit_h=$screen_h
fit_w=$((screen_h * 4 / 3))
factor=$((screen_h / 480))
expected[fit]="$fit_w $fit_h"
expected[integer]="$((640 * factor)) $((480 * factor))"
expected[stretch]="$screen_w $screen_h"
for scaling in fit integer stretch; do
  rm -rf "$XDG_CONFIG_HOME"
  if [ $scaling != fit ]; then  # fit is the default: its run starts without a settings file
    mkdir -p "${settings%/*}"
    printf '# chosen by hand\n[display]\nscaling = %s\n' $scaling >"$settings"
  fi
  "$game" >"$work/$screen/$scaling.out" 2>&1 &
  game_pid=$!
  pids+=($game_pid)
  window=$(find_window)
  sleep 1
  box=$(wait_for_box "$scaling-full" "${expected[$scaling]}")
  read -r bw bh bx by <<<"$box"
  echo "$screen $scaling: picture ${bw}x${bh} at $bx,$by"
  grep -q "^scaling = $scaling" "$settings" || fail "$scaling: the settings file does not say so"
  if [ $scaling = fit ]; then
    grep -q "^mode = fullscreen" "$settings" || fail "the first start did not write every setting"
    # xprop's whole answer first: grep -q stopping early would fail the pipe.
    has_icon() {
      local props
      props=$(xprop -id "$(find_window)" _NET_WM_ICON 2>/dev/null || true)
      grep -q "Icon (64 x 64)" <<<"$props"
    }
    for _ in $(seq 1 20); do has_icon && break || sleep 0.25; done
    has_icon || fail "no 64x64 window icon"
    # F11: a window of its saved size (1280x960), never larger than the desktop, all of it on it.
    tap F11
    sleep 1.5
    window=$(find_window)
    read -r x y w h <<<"$(geometry "$window")"
    read -r left right top bottom <<<"$(xprop -id "$window" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
    echo "$screen window ${w}x${h} at $x,$y, frame $left $right $top $bottom"
    [ $((y - top)) -ge 0 ] && [ $((x - left)) -ge 0 ] || fail "the window's frame starts off the screen"
    [ $((y + h + bottom)) -le "$screen_h" ] && [ $((x + w + right)) -le "$screen_w" ] ||
      fail "the window ends off the screen"
    shape=$((w * 3 - h * 4))
    [ ${shape#-} -le 4 ] || fail "a shrunk window lost the picture's shape"
    grep -q "^# chosen by hand" "$settings" 2>/dev/null && fail "a settings file out of nowhere"
  else
    tap F11
    sleep 1
    grep -q "^# chosen by hand" "$settings" || fail "$scaling: the rewrite lost the player's comment"
    grep -q "^mode = window" "$settings" || fail "$scaling: F11 was not saved"
  fi
  kill -TERM $game_pid
  wait $game_pid || fail "$scaling: the game did not end cleanly"
done
