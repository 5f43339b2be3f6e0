#!/bin/sh
# CPU of dar3play against mpg123, measured in one run on the same file: while playing (CPU
# seconds per second of sound) and while paused (CPU seconds per wall second), plus the time from
# launch to the first track line. dar3play plays in real time into SDL's dummy driver inside tmux;
# mpg123's dummy output does not keep time, so its playing figure is the CPU to decode the same
# seconds. Usage: cpu_vs_mpg123.sh path/to/dar3play
set -eu
player=$1
dir=$(mktemp -d)
server=dar3play-cpu-$$
trap 'tmux -L $server kill-server 2>/dev/null || true; rm -rf "$dir"' EXIT
sox -n -r 44100 -c 2 -b 16 "$dir/s.wav" synth 600 sine 100-5000 sine 440 pinknoise gain -9
lame --quiet -b 128 "$dir/s.wav" "$dir/s.mp3"
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The process the tmux pane runs (the player itself: the command is exec'd).
pane_pid() { tmux -L $server display -p -t "$1" '#{pane_pid}'; }
measure() {  # session seconds: CPU seconds per wall second over `seconds`
  pid=$(pane_pid "$1"); a=$(cpu_ticks "$pid"); sleep "$2"; b=$(cpu_ticks "$pid")
  echo "$a $b $2 $hz" | awk '{printf "%.4f", ($2 - $1) / $4 / $3}'
}

tmux -L $server new-session -d -s ours -x 120 -y 40 "exec env JED_HEADLESS=0 SDL_AUDIODRIVER=dummy '$player' '$dir/s.mp3'"
sleep 3
ours_playing=$(measure ours 10)
tmux -L $server send-keys -t ours Space
sleep 1
ours_paused=$(measure ours 10)
tmux -L $server send-keys -t ours q

# The same without a screen: what the decoder and output cost on their own.
tmux -L $server new-session -d -s plain "exec env JED_HEADLESS=0 SDL_AUDIODRIVER=dummy '$player' '$dir/s.mp3' > /dev/null"
sleep 3
ours_plain=$(measure plain 10)
tmux -L $server kill-session -t plain

tmux -L $server new-session -d -s peer -x 120 -y 40 "exec mpg123 -q -C -o dummy '$dir/s.mp3'"
sleep 0.3
tmux -L $server send-keys -t peer s
sleep 1
peer_paused=$(measure peer 10)
tmux -L $server send-keys -t peer q
# Decoding 60 s of the file: the work playing a minute takes, without the pacing.
/usr/bin/time -f "%U %S" -o "$dir/time" mpg123 -q -o dummy -n 2297 "$dir/s.mp3"
peer_playing=$(awk '{printf "%.4f", ($1 + $2) / 60}' "$dir/time")

start_ms() {  # command: milliseconds until it prints its first line; then it is stopped
  t0=$(date +%s%N)
  t1=$(sh -c "echo \$\$ > '$dir/pid'; exec $1" 2>&1 | { read -r line; date +%s%N; kill "$(cat "$dir/pid")" || true; })
  echo $(( (t1 - t0) / 1000000 ))
}
# dar3play prints its track line once the song is open and playing; mpg123 -v its first
# frame header once decoding starts.
ours_start=$(start_ms "'$player' --output null '$dir/s.mp3'")
peer_start=$(start_ms "mpg123 -v -o dummy '$dir/s.mp3'")

printf 'CPU while playing (share of one core): dar3play full screen %s, without a screen %s;  mpg123 %s\n' \
  "$ours_playing" "$ours_plain" "$peer_playing"
printf 'CPU while paused  (share of one core): dar3play %s  mpg123 %s\n' "$ours_paused" "$peer_paused"
printf 'Launch to first line (ms): dar3play %s  mpg123 %s\n' "$ours_start" "$peer_start"
