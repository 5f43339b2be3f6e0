#!/bin/sh
# CPU of dar3play against mpg123 and mpv, measured in one run on the same file: while playing
# (CPU seconds per second of sound) and while paused (CPU seconds per wall second), plus the time
# from launch to the first sound. dar3play plays in real time into SDL's dummy driver inside
# tmux, mpv into its null output, which keeps time too; mpg123's dummy output does not, so its
# playing figure is the CPU to decode the same seconds. mpv is left out when it is not installed
# (apt-get install mpv). Usage: cpu_vs_mpg123.sh path/to/dar3play
set -eu
player=$1
with_mpv=$(command -v mpv > /dev/null && echo yes || echo no)
[ "$with_mpv" = yes ] || echo "mpv is not installed (apt-get install mpv): measuring without it" >&2
dir=$(mktemp -d)
server=dar3play-cpu-$$
trap 'tmux -L $server kill-server 2>/dev/null || true; rm -rf "$dir"' EXIT
sox -n -r 44100 -c 2 -b 16 "$dir/s.wav" synth 600 sine 100-5000 sine 440 pinknoise gain -9
lame --quiet -b 128 "$dir/s.wav" "$dir/s.mp3"
hz=$(getconf CLK_TCK)

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The process the tmux pane runs (the player itself: the command is exec'd).
pane_pid() { tmux -L $server display -p -t "$1" '#{pane_pid}'; }
# Quits a session by its key and waits until it is gone: a new session must not meet a server
# that is shutting down after its last one.
quit() {  # session key
  tmux -L $server send-keys -t "$1" "$2"
  for _ in $(seq 50); do tmux -L $server has-session -t "$1" 2> /dev/null || return 0; sleep 0.1; done
  tmux -L $server kill-session -t "$1"
}
measure() {  # session seconds: CPU seconds per wall second over `seconds`
  pid=$(pane_pid "$1"); a=$(cpu_ticks "$pid"); sleep "$2"; b=$(cpu_ticks "$pid")
  echo "$a $b $2 $hz" | awk '{printf "%.4f", ($2 - $1) / $4 / $3}'
}

# A player on a terminal that keeps time: 10 s playing, then 10 s paused by its key, then quit.
# Sets playing and paused.
play_and_pause() {  # session command pause-key
  tmux -L $server new-session -d -s "$1" -x 120 -y 40 "$2"
  sleep 3
  playing=$(measure "$1" 10)
  tmux -L $server send-keys -t "$1" "$3"
  sleep 1
  paused=$(measure "$1" 10)
  quit "$1" q
}

# A session that lasts the whole run, so the server never shuts down between two players.
tmux -L $server new-session -d -s keep 'sleep 3600'
play_and_pause ours "exec env JED_HEADLESS=0 SDL_AUDIODRIVER=dummy '$player' '$dir/s.mp3'" Space
ours_playing=$playing ours_paused=$paused

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
quit peer q
# Decoding 60 s of the file: the work playing a minute takes, without the pacing.
/usr/bin/time -f "%U %S" -o "$dir/time" mpg123 -q -o dummy -n 2297 "$dir/s.mp3"
peer_playing=$(awk '{printf "%.4f", ($1 + $2) / 60}' "$dir/time")

mpv_playing=- mpv_paused=-
if [ "$with_mpv" = yes ]; then
  play_and_pause mpv "exec mpv --no-config --no-video --ao=null '$dir/s.mp3'" p
  mpv_playing=$playing mpv_paused=$paused
fi

start_ms() {  # command pattern: milliseconds until it prints a line matching pattern; then it is stopped
  t0=$(date +%s%N)
  t1=$(sh -c "echo \$\$ > '$dir/pid'; exec $1" 2>&1 | { grep -qE -m 1 "$2" || true; date +%s%N; kill "$(cat "$dir/pid")" || true; })
  echo $(( (t1 - t0) / 1000000 ))
}
# The line each prints when its first sound goes to the output: dar3play its track line once
# the song plays; mpg123 -v the stream's format once the first frame is decoded (not its
# banner, printed at launch); mpv its audio output once opened with the first decoded audio.
ours_start=$(start_ms "'$player' --output null '$dir/s.mp3'" '^Playing')
peer_start=$(start_ms "mpg123 -v -o dummy '$dir/s.mp3'" '^MPEG ')
mpv_start=-
[ "$with_mpv" = yes ] && mpv_start=$(start_ms "mpv --no-config --no-video --ao=null '$dir/s.mp3'" '^AO: ')

printf 'CPU while playing (share of one core): dar3play full screen %s, without a screen %s;  mpg123 %s  mpv %s\n' \
  "$ours_playing" "$ours_plain" "$peer_playing" "$mpv_playing"
printf 'CPU while paused  (share of one core): dar3play %s  mpg123 %s  mpv %s\n' "$ours_paused" "$peer_paused" "$mpv_paused"
printf 'Launch to first sound (ms): dar3play %s  mpg123 %s  mpv %s\n' "$ours_start" "$peer_start" "$mpv_start"
