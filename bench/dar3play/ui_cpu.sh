#!/bin/sh
# Screen refresh rate and CPU use of the interactive player: 20 s of a 3-minute file inside tmux,
# sound on SDL's dummy driver (real-time consumption). Usage: ui_cpu.sh path/to/dar3play
set -eu
player=$1
dir=$(mktemp -d)
trap 'tmux -L dar3play-bench kill-server 2>/dev/null || true; rm -rf "$dir"' EXIT
sox -n -r 44100 -c 2 -b 16 "$dir/s.wav" synth 180 sine 100-5000 sine 440 pinknoise gain -9
lame --quiet -b 128 "$dir/s.wav" "$dir/s.mp3"
tmux -L dar3play-bench new-session -d -s bench -x 120 -y 40 \
  "JED_HEADLESS=0 SDL_AUDIODRIVER=dummy '$player' --stats '$dir/s.mp3' 2>'$dir/stats'"
sleep 20
tmux -L dar3play-bench send-keys -t bench q
sleep 1
cat "$dir/stats"
