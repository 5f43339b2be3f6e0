#!/bin/sh
# A song played from a local HTTP server against the same song played from its file, in one run:
# launch to the first sound (median of five), and the CPU
# of playing in real time without a screen (--output null, 15 s each). mpg123 starts the same
# file and URL as the peer. Then a radio that sends in real time (16000 bytes a second, as a
# 128 kbit/s station without an opening burst): launch to the first sound for both.
# Usage: url_vs_file.sh path/to/dar3play
set -eu
player=$1
here=$(cd "$(dirname "$0")" && pwd)
radio_server=$here/../../tests/support/web_file_server.py
[ -f "$radio_server" ] || radio_server=$here/web_file_server.py
dir=$(mktemp -d)
trap 'kill "$server" "$radio" 2>/dev/null || true; rm -rf "$dir"' EXIT
sox -n -r 44100 -c 2 -b 16 "$dir/s.wav" synth 120 sine 100-5000 sine 440 pinknoise gain -9
lame --quiet -b 128 "$dir/s.wav" "$dir/s.mp3"
port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
python3 -m http.server "$port" --bind 127.0.0.1 --directory "$dir" > /dev/null 2>&1 &
server=$!
url="http://127.0.0.1:$port/s.mp3"
python3 "$radio_server" "$dir" > "$dir/radio-port" &
radio=$!
until [ -s "$dir/radio-port" ]; do sleep 0.1; done
radio_url="http://127.0.0.1:$(cat "$dir/radio-port")/s.mp3?icy=Bench%20Radio&endless=1&pace=16000"
until python3 -c "import urllib.request; urllib.request.urlopen('$url').close()" 2>/dev/null; do sleep 0.1; done
hz=$(getconf CLK_TCK)
export JED_HEADLESS=0 SDL_AUDIODRIVER=dummy

start_ms() {  # command pattern: milliseconds until it prints a line matching pattern; then it is stopped
  t0=$(date +%s%N)
  t1=$(sh -c "echo \$\$ > '$dir/pid'; exec $1" 2>&1 | { grep -qE -m 1 "$2" || true; date +%s%N; kill "$(cat "$dir/pid")" || true; })
  echo $(( (t1 - t0) / 1000000 ))
}
median_start_ms() {
  for i in 1 2 3 4 5; do start_ms "$1" "$2"; sleep 0.2; done | sort -n | sed -n 3p
}
cpu_share() {  # input: CPU seconds per wall second while dar3play plays it, from 3 s to 18 s
  "$player" --output null "$1" > /dev/null &
  pid=$!
  sleep 3
  a=$(awk '{print $14 + $15}' "/proc/$pid/stat"); sleep 15; b=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$a $b $hz" | awk '{printf "%.4f", ($2 - $1) / $3 / 15}'
}

# The line each prints once its first sound goes out: dar3play its track line, mpg123 -v the
# stream's format once the first frame is decoded (its banner comes at launch).
ours='^Playing' peer='^MPEG '
file_start=$(median_start_ms "'$player' --output null '$dir/s.mp3'" "$ours")
url_start=$(median_start_ms "'$player' --output null '$url'" "$ours")
peer_file_start=$(median_start_ms "mpg123 -v -o dummy '$dir/s.mp3'" "$peer")
peer_url_start=$(median_start_ms "mpg123 -v -o dummy '$url'" "$peer")
radio_start=$(median_start_ms "'$player' --output null '$radio_url'" "$ours")
peer_radio_start=$(median_start_ms "mpg123 -v -o dummy '$radio_url'" "$peer")
file_cpu=$(cpu_share "$dir/s.mp3")
url_cpu=$(cpu_share "$url")

printf 'Launch to first sound (ms, median of 5): dar3play file %s, URL %s;  mpg123 file %s, URL %s\n' \
  "$file_start" "$url_start" "$peer_file_start" "$peer_url_start"
printf 'CPU while playing (share of one core): dar3play file %s, URL %s (ratio %s)\n' "$file_cpu" "$url_cpu" \
  "$(echo "$url_cpu $file_cpu" | awk '{ if ($2 > 0) printf "%.2f", $1 / $2; else print "-" }')"
printf 'Launch to first sound from a radio sending in real time (ms, median of 5): dar3play %s, mpg123 %s\n' \
  "$radio_start" "$peer_radio_start"
