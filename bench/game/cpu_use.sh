#!/usr/bin/env bash
# CPU use of jed-grimstorm playing in real time on the SDL backend (under Xvfb): enters the
# level with Enter, walks right, and reads the process's CPU time over a 10 s window. Full screen
# on a screen of the given size, the picture scaled as SCALING says (the default setting: fit).
# usage: cpu_use.sh BUILD_DIR [WxH [SCALING]]   (defaults: build, 640x480, fit)
set -euo pipefail
build=$(realpath "${1:-build}")
screen=${2:-640x480}
scaling=${3:-fit}
if [ -z "${JED_CPU_INSIDE_XVFB:-}" ]; then
  export JED_CPU_INSIDE_XVFB=1
  exec xvfb-run -a -s "-screen 0 ${screen}x24" "$0" "$build" "$screen" "$scaling"
fi
unset JED_HEADLESS
scratch=$(mktemp -d)
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data"
mkdir -p "$XDG_CONFIG_HOME/jed-grimstorm"
printf '[display]\nscaling = %s\n' "$scaling" >"$XDG_CONFIG_HOME/jed-grimstorm/settings.ini"
cd "$build/assets"
"$build/game/jed-grimstorm" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true; rm -rf "$scratch"' EXIT
window=$(timeout 20 xdotool search --sync --name "Jed Grimstorm" | head -1 || true)
[ -n "$window" ] || { echo "no game window"; exit 1; }
tap() { xdotool keydown "$1"; sleep 0.3; xdotool keyup "$1"; }
sleep 1; tap Return; sleep 2; tap Return; sleep 1
xdotool keydown Right

ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks); s0=$(date +%s.%N)
sleep 10
t1=$(ticks); s1=$(date +%s.%N)
xdotool keyup Right
kill -TERM $pid; wait $pid || true
trap - EXIT
rm -rf "$scratch"
awk -v t="$((t1 - t0))" -v hz="$hz" -v s0="$s0" -v s1="$s1" \
  'BEGIN { printf "cpu_use_percent_of_one_core=%.1f (target < 15) over %.1f s on '"$screen $scaling"'\n", 100 * t / hz / (s1 - s0), s1 - s0 }'
