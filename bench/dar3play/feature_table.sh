#!/bin/bash
# What dar3play, mpg123 and mpv can do, found out by running each of them here on files made for
# the purpose, never taken from their manuals: every cell is what the run showed (an exit
# status, the printed lines, the length or loudness of the decoded sound, a terminal's screen in
# tmux). Everything runs without a sound card: SDL's dummy driver for dar3play, the null, dummy
# and pcm outputs for the others. A cell that cannot be measured says n/a and why.
# Usage: feature_table.sh path/to/dar3play
set -u
here=$(cd "$(dirname "$0")" && pwd)
ours=$(realpath "$1")
for tool in sox lame mid3v2 mpg123 mpv tmux python3; do
  command -v $tool > /dev/null || { echo "$tool is missing: apt-get install ${tool/mid3v2/python3-mutagen}" >&2; exit 1; }
done
server_py=$here/../../tests/support/web_file_server.py
[ -f "$server_py" ] || server_py=$here/web_file_server.py
dir=$(mktemp -d)
chmod 755 "$dir"
tmux_server=dar3play-features-$$
pids=()
cleanup() {
  tmux -L $tmux_server kill-server 2> /dev/null
  for pid in "${pids[@]}"; do kill -- -"$pid" 2> /dev/null || kill "$pid" 2> /dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
cd "$dir" || exit 1
rate=44100

# --- the files ----------------------------------------------------------------------------
tone() {  # name seconds frequency [title]
  sox -n -r $rate -c 2 -b 16 "$1.wav" synth "$2" sine "$3" gain -6 2> /dev/null
  lame --quiet -b 128 --noreplaygain --tt "${4:-$1}" --ta "Jed Band" "$1.wav" "$1.mp3"
}
for i in 1 2 3 4 5 6 7 8; do tone t$i 0.5 $((i * 200)) "Track $i"; done
tone long 30 300 "Long Song"
printf '#EXTM3U\n#EXTINF:1,Track 1\nt1.mp3\nt2.mp3\n' > list.m3u
printf '[playlist]\nNumberOfEntries=2\nFile1=t1.mp3\nFile2=t2.mp3\nVersion=2\n' > list.pls
mkdir -p folder/sub && cp t1.mp3 folder/ && cp t2.mp3 folder/sub/
# An album cut from one recording into three LAME VBR tracks.
sox -n -r $rate -c 2 -b 16 album.wav synth 9.5 sine 200-3000 sine 440 gain -6 2> /dev/null
sox album.wav a1.wav trim 0 3.1 && sox album.wav a2.wav trim 3.1 3.3 && sox album.wav a3.wav trim 6.4
for i in 1 2 3; do lame --quiet -V 2 a$i.wav a$i.mp3; done
# ReplayGain -6 dB in ID3v2 TXXX frames, the LAME tag's own value left out.
cp t1.mp3 gain.mp3 && mid3v2 --TXXX "REPLAYGAIN_TRACK_GAIN:-6.00 dB" --TXXX "REPLAYGAIN_TRACK_PEAK:0.5" gain.mp3
# Quiet at the start, loud at the end: played backwards, the other way round.
sox -n -r $rate -c 2 -b 16 fade.wav synth 3 sine 500 fade t 2.5 3 0 gain -3 2> /dev/null
lame --quiet -b 128 fade.wav fade.mp3

# --- measuring helpers --------------------------------------------------------------------
cat > measure.py << 'EOF'
import array, math, struct, sys

def samples(path):
    data = open(path, "rb").read()
    if path.endswith(".wav"):  # 16-bit PCM, plain or extensible: the data chunk
        assert data[:4] == b"RIFF" and data[8:12] == b"WAVE"
        at = 12
        while data[at:at + 4] != b"data":
            at += 8 + struct.unpack("<I", data[at + 4:at + 8])[0]
        size = struct.unpack("<I", data[at + 4:at + 8])[0]
        data = data[at + 8:at + 8 + size]
    a = array.array("h")
    a.frombytes(data[: len(data) // 2 * 2])
    return a

def rms(a):
    return math.sqrt(sum(x * x for x in a) / max(len(a), 1))

what, path = sys.argv[1], sys.argv[2]
try:
    a = samples(path)
except Exception:
    print(-1)
    sys.exit()
if what == "frames":
    print(len(a) // 2)
elif what == "db":  # loudness against a second file
    print("%.1f" % (20 * math.log10(max(rms(a), 1e-9) / max(rms(samples(sys.argv[3])), 1e-9))))
elif what == "joins":  # the largest step between neighbouring samples around each join
    original = samples(sys.argv[3])
    def step(x, j):
        frames = range(max(j - 8, 1), min(j + 8, len(x) // 2))
        return max((abs(x[2 * i + c] - x[2 * i - 2 + c]) for i in frames for c in (0, 1)), default=-1)
    print(" ".join("%d/%d" % (step(a, j), step(original, j)) for j in map(int, sys.argv[4:])))
elif what == "backwards":  # the first quarter louder than the last
    q = len(a) // 4
    print(1 if q and rms(a[:q]) > 2 * rms(a[-q:]) else 0)
elif what == "tracks":  # the tones t1 t2 ... one after the other, by their zero crossings
    step = 44100 // 4 * 2
    seq = []
    for at in range(0, len(a) - step + 1, step):
        left = a[at:at + step:2]
        crossings = sum(1 for x, y in zip(left, left[1:]) if (x < 0) != (y < 0))
        track = round(crossings * 2 / 200)  # crossings in 0.25 s -> Hz / 200
        if not seq or seq[-1] != track:
            seq.append(track)
    print(" ".join(map(str, seq)))
EOF
measure() { python3 measure.py "$@"; }
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'; }

d3() { env JED_HEADLESS=1 SDL_AUDIODRIVER=dummy DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no-bus" "$ours" "$@"; }
mpv_() { mpv --no-config --no-video "$@"; }
# Decodes into OUT: a WAV for dar3play, raw 16-bit stereo for the others.
decode() {  # player out args...
  local player=$1 out=$2
  shift 2
  case $player in
    dar3play) d3 --decode "$@" "$out" > /dev/null 2>&1 ;;
    mpg123) mpg123 -q -s "$@" > "$out" 2> /dev/null ;;
    mpv) mpv_ --really-quiet --ao=pcm --ao-pcm-waveheader=no --audio-format=s16 --ao-pcm-file="$out" "$@" 2> /dev/null ;;
  esac
}
out_of() { case $1 in dar3play) echo "$2-$1.wav" ;; *) echo "$2-$1.raw" ;; esac; }
one_track=$(measure frames t1.wav)

# --- the probes: each prints one cell -------------------------------------------------------
probe_list() {  # player list-file
  local out
  out=$(out_of "$1" list)
  rm -f "$out"
  case $1 in mpg123) decode "$1" "$out" -@ "$2" ;; *) decode "$1" "$out" "$2" ;; esac
  local frames
  frames=$(measure frames "$out")
  if near "$frames" $((2 * one_track)) 2400; then echo yes; else echo "no ($((frames > 0 ? frames : 0)) samples)"; fi
}

probe_folder() {
  local out frames
  out=$(out_of "$1" folder)
  decode "$1" "$out" folder
  frames=$(measure frames "$out")
  if near "$frames" $((2 * one_track)) 2400; then echo yes; else echo "no (nothing played)"; fi
}

# The order a player announces its tracks in, as numbers.
announced_order() {
  grep -oE 'Track [0-9]|t[0-9]\.mp3' | sed -E 's/^Track //; s/^t([0-9])\.mp3$/\1/' | uniq | tr '\n' ' ' | sed 's/ $//'
}

probe_shuffle() {
  local files=(t1.mp3 t2.mp3 t3.mp3 t4.mp3 t5.mp3 t6.mp3 t7.mp3 t8.mp3) order
  case $1 in
    dar3play) order=$(d3 --output null --shuffle "${files[@]}" 2> /dev/null | announced_order) ;;
    mpg123) order=$(mpg123 -v -z -s "${files[@]}" 2>&1 > /dev/null | grep Playing | announced_order) ;;
    mpv) order=$(mpv_ --ao=pcm --ao-pcm-file=/dev/null --shuffle "${files[@]}" 2>&1 | grep Playing | announced_order) ;;
  esac
  local sorted
  sorted=$(echo "$order" | tr ' ' '\n' | sort | tr '\n' ' ' | sed 's/ $//')
  if [ "$sorted" != "1 2 3 4 5 6 7 8" ]; then
    echo "no (played: $order)"
  elif [ "$order" = "1 2 3 4 5 6 7 8" ]; then
    echo "no (list order)"
  else
    echo yes
  fi
}

# Repeats. dar3play repeats without end (its decode plays each input once), so it plays in real
# time for a while and the entries it announces are counted; the others decode with a count of
# repeats: one track's length three times, or the tones of the list in the order heard.
probe_repeat() {  # player one|all
  local order
  if [ "$1" = dar3play ]; then
    local args=(t1.mp3)
    [ "$2" = all ] && args=(t1.mp3 t2.mp3)
    order=$(timeout 2.2 env JED_HEADLESS=1 SDL_AUDIODRIVER=dummy DBUS_SESSION_BUS_ADDRESS="unix:path=$dir/no-bus" \
      "$ours" --output null --repeat "$2" "${args[@]}" 2> /dev/null | grep -o 'Playing [0-9]' | grep -o '[0-9]' |
      tr '\n' ' ' | sed 's/ $//')
    case "$2:$order" in
      one:"1 1"* | all:"1 2 1"*) echo "yes (--repeat $2)" ;;
      *) echo "no (announced: $order)" ;;
    esac
    return
  fi
  local one_option=--loop all_option=--loop
  [ "$1" = mpv ] && one_option=--loop-file all_option=--loop-playlist
  rm -f rep.raw
  if [ "$2" = one ]; then
    # mpg123 --loop N plays N times, mpv --loop-file=N N more times.
    if [ "$1" = mpv ]; then decode mpv rep.raw --loop-file=2 t1.mp3; else decode mpg123 rep.raw --loop 3 t1.mp3; fi
    local frames
    frames=$(measure frames rep.raw)
    if near "$frames" $((3 * one_track)) 2400; then echo "yes ($one_option)"; else echo "no ($frames samples)"; fi
    return
  fi
  if [ "$1" = mpv ]; then decode mpv rep.raw --loop-playlist=2 t1.mp3 t2.mp3; else decode mpg123 rep.raw --loop 2 t1.mp3 t2.mp3; fi
  order=$(measure tracks rep.raw)
  case $order in
    "1 2 1"*) echo "yes ($all_option)" ;;
    *) echo "no ($all_option: heard $order)" ;;
  esac
}

probe_gapless() {
  local out frames want
  out=$(out_of "$1" album)
  case $1 in
    mpv) decode mpv "$out" --gapless-audio=yes a1.mp3 a2.mp3 a3.mp3 ;;
    # Gapless is the default of both; dar3play's default ReplayGain would scale the join figures.
    dar3play) decode dar3play "$out" --replaygain off a1.mp3 a2.mp3 a3.mp3 ;;
    *) decode "$1" "$out" a1.mp3 a2.mp3 a3.mp3 ;;
  esac
  frames=$(measure frames "$out")
  want=$(measure frames album.wav)
  local diff=$((frames - want))
  if [ $diff -eq 0 ]; then echo "yes (0 samples off)"; else printf 'no (%+d samples)\n' $diff; fi
}

probe_replaygain() {
  local on off
  on=$(out_of "$1" gain-on)
  off=$(out_of "$1" gain-off)
  case $1 in
    dar3play) decode "$1" "$on" --replaygain track gain.mp3 && decode "$1" "$off" --replaygain off gain.mp3 ;;
    mpg123) decode "$1" "$on" --rva-radio gain.mp3 && decode "$1" "$off" gain.mp3 ;;
    mpv) decode "$1" "$on" --replaygain=track gain.mp3 && decode "$1" "$off" --replaygain=no gain.mp3 ;;
  esac
  local db
  db=$(measure db "$on" "$off")
  if near "$db" -6 0.5; then echo "yes ($db dB)"; else echo "no ($db dB)"; fi
}

web_port=
start_web_server() {
  python3 "$server_py" "$dir" > web.port 2> /dev/null &
  pids+=($!)
  for _ in $(seq 50); do
    web_port=$(head -1 web.port 2> /dev/null)
    [ -n "$web_port" ] && return
    sleep 0.1
  done
}

# The file over HTTP against the same player's decode of it from the disk.
probe_http() {
  local out frames local_out local_frames
  out=$(out_of "$1" web)
  local_out=$(out_of "$1" web-local)
  decode "$1" "$out" "http://127.0.0.1:$web_port/t1.mp3"
  decode "$1" "$local_out" t1.mp3
  frames=$(measure frames "$out")
  local_frames=$(measure frames "$local_out")
  if [ "$frames" -eq "$local_frames" ]; then
    echo yes
  elif near "$frames" "$local_frames" 2400; then
    printf 'yes (%+d samples: untrimmed)\n' $((frames - local_frames))
  else
    echo "no ($((frames > 0 ? frames : 0)) samples)"
  fi
}

# A radio: Icecast fed by ezstream on 127.0.0.1, the long song over and over, its title in the
# ICY metadata; without them, the test server's endless ICY station.
radio_url=
radio_title=
radio_kind=
start_radio() {
  if command -v icecast2 > /dev/null && command -v ezstream > /dev/null; then
    local port
    port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
    mkdir -p ice && chmod 777 ice
    local owner=""
    [ "$(id -u)" = 0 ] && owner="<changeowner><user>icecast2</user><group>icecast</group></changeowner>"
    cat > ice/icecast.xml << EOF
<icecast><limits><sources>2</sources></limits><authentication><source-password>source-pw</source-password>
<admin-user>admin</admin-user><admin-password>admin-pw</admin-password></authentication>
<hostname>127.0.0.1</hostname><listen-socket><port>$port</port><bind-address>127.0.0.1</bind-address></listen-socket>
<mount><mount-name>/night.mp3</mount-name><stream-name>Night Radio</stream-name></mount>
<paths><basedir>$dir/ice</basedir><logdir>$dir/ice</logdir><webroot>/usr/share/icecast2/web</webroot>
<adminroot>/usr/share/icecast2/admin</adminroot></paths><logging><errorlog>error.log</errorlog>
<accesslog>access.log</accesslog><loglevel>2</loglevel></logging><security><chroot>0</chroot>$owner</security></icecast>
EOF
    cat > ice/ezstream.xml << EOF
<ezstream><servers><server><hostname>127.0.0.1</hostname><port>$port</port><password>source-pw</password></server>
</servers><streams><stream><mountpoint>/night.mp3</mountpoint><format>MP3</format></stream></streams>
<intakes><intake><type>file</type><filename>$dir/radio.mp3</filename><stream_once>No</stream_once></intake></intakes></ezstream>
EOF
    chmod 600 ice/ezstream.xml
    cp long.mp3 radio.mp3
    mid3v2 -t "Night Falls" -a "Jed Band" radio.mp3
    setsid icecast2 -c ice/icecast.xml > ice/out 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do
      (exec 3<> /dev/tcp/127.0.0.1/"$port") 2> /dev/null && break
      sleep 0.1
    done
    setsid ezstream -c ice/ezstream.xml > ice/ez.out 2>&1 &
    pids+=($!)
    radio_url=http://127.0.0.1:$port/night.mp3
    for _ in $(seq 100); do
      python3 -c "import urllib.request; urllib.request.urlopen('$radio_url', timeout=1).read(1)" 2> /dev/null && break
      sleep 0.1
    done
    radio_title="Jed Band - Night Falls"
    radio_kind="Icecast 2 with ezstream"
  else
    radio_url="http://127.0.0.1:$web_port/long.mp3?icy=Test%20Radio&endless=1"
    radio_title="First Song"
    radio_kind="the test server's endless ICY station (icecast2 or ezstream missing)"
  fi
}

probe_icy() {
  local said
  case $1 in
    dar3play) said=$(timeout 4 env JED_HEADLESS=1 SDL_AUDIODRIVER=dummy "$ours" --output null "$radio_url" 2>&1) ;;
    mpg123) said=$(timeout 4 mpg123 -v -o dummy "$radio_url" 2>&1) ;;
    mpv) said=$(timeout 4 mpv --no-config --no-video --ao=null "$radio_url" 2>&1) ;;
  esac
  if grep -q "$radio_title" <<< "$said"; then echo yes; else echo "no (title not shown)"; fi
}

probe_quiet() {
  local said status
  case $1 in
    dar3play) said=$(d3 -q --output null t1.mp3 2>&1) ;;
    mpg123) said=$(mpg123 -q -o dummy t1.mp3 2>&1) ;;
    mpv) said=$(mpv_ --really-quiet --ao=null t1.mp3 2>&1) ;;
  esac
  status=$?
  local option=-q
  [ "$1" = mpv ] && option=--really-quiet
  if [ $status -eq 0 ] && [ -z "$said" ]; then echo "yes ($option)"; else echo "no (${#said} bytes, status $status)"; fi
}

probe_remote() {
  local said
  case $1 in
    dar3play)
      said=$( (sleep 0.7; echo status; sleep 0.2; echo quit) | d3 --remote --output null long.mp3 2> /dev/null)
      grep -q '^status playing' <<< "$said" && echo "yes (--remote)" || echo "no"
      ;;
    mpg123)
      said=$( (echo "LOAD $dir/long.mp3"; sleep 0.7; echo QUIT) | mpg123 -R -o dummy 2> /dev/null)
      grep -q '^@P 2' <<< "$said" && echo "yes (-R)" || echo "no"
      ;;
    mpv)
      mpv_ --really-quiet --ao=null --input-ipc-server="$dir/mpv.sock" long.mp3 > /dev/null 2>&1 &
      local pid=$!
      said=$(python3 - "$dir/mpv.sock" << 'EOF'
import json, socket, sys, time
for _ in range(50):
    try:
        s = socket.socket(socket.AF_UNIX)
        s.connect(sys.argv[1])
        break
    except OSError:
        time.sleep(0.1)
s.sendall(b'{"command": ["get_property", "pause"]}\n')
print(s.recv(4096).decode())
s.sendall(b'{"command": ["quit"]}\n')
EOF
      )
      wait $pid 2> /dev/null
      grep -q '"error":"success"' <<< "$said" && echo "yes (--input-ipc-server)" || echo "no"
      ;;
  esac
}

# MPRIS: a private session bus; the player plays while playerctl looks for it.
probe_mpris() {
  if ! command -v dbus-daemon > /dev/null || ! command -v playerctl > /dev/null; then
    echo "n/a (no dbus-daemon or playerctl)"
    return
  fi
  local bus address pid seen=""
  bus=$(dbus-daemon --session --fork --print-address=1 --print-pid=1)
  address=$(echo "$bus" | sed -n 1p)
  local bus_pid
  bus_pid=$(echo "$bus" | sed -n 2p)
  case $1 in
    dar3play) DBUS_SESSION_BUS_ADDRESS=$address JED_HEADLESS=1 SDL_AUDIODRIVER=dummy "$ours" --output null long.mp3 > /dev/null 2>&1 & ;;
    mpg123) # A pipe nobody reads: mpg123 has no output that keeps time.
      # shellcheck disable=SC2216
      (DBUS_SESSION_BUS_ADDRESS=$address mpg123 -q -s long.mp3 | sleep 6) 2> /dev/null &
      ;;
    mpv) DBUS_SESSION_BUS_ADDRESS=$address mpv --no-config --really-quiet --ao=null long.mp3 > /dev/null 2>&1 & ;;
  esac
  pid=$!
  for _ in $(seq 30); do
    seen=$(DBUS_SESSION_BUS_ADDRESS=$address playerctl -a status 2> /dev/null)
    [ -n "$seen" ] && break
    sleep 0.1
  done
  kill $pid 2> /dev/null
  pkill -P $pid 2> /dev/null
  wait $pid 2> /dev/null
  kill "$bus_pid" 2> /dev/null
  if grep -q Playing <<< "$seen"; then
    echo yes
  elif [ "$1" = mpv ] && ! dpkg -s mpv-mpris > /dev/null 2>&1; then
    echo "no (plugin mpv-mpris not installed)"
  else
    echo no
  fi
}

# SIGTERM one second into playing; the status a shell sees, and whether it was the player's
# own exit or the signal's default action.
probe_sigterm() {
  local command
  case $1 in
    dar3play) command="env JED_HEADLESS=1 SDL_AUDIODRIVER=dummy '$ours' --output null long.mp3" ;;
    mpg123) command="mpg123 -q -s long.mp3 | sleep 10" ;;  # a pipe nobody reads keeps it playing
    mpv) command="mpv --no-config --really-quiet --ao=null long.mp3" ;;
  esac
  python3 - "$command" << 'EOF'
import signal, subprocess, sys, time
# "PLAYER | READER": the player writes into a pipe its reader never empties.
player, _, reader_command = sys.argv[1].partition("|")
reader = subprocess.Popen(reader_command or "cat > /dev/null", shell=True, stdin=subprocess.PIPE)
p = subprocess.Popen("exec " + player, shell=True, stdout=reader.stdin, stderr=subprocess.DEVNULL)
time.sleep(1)
p.send_signal(signal.SIGTERM)
code = p.wait()
reader.kill()
print("%d (killed)" % (128 - code) if code < 0 else "%d (exits)" % code)
EOF
}

probe_no_device() {
  local said status
  case $1 in
    dar3play) said=$(env JED_HEADLESS=0 SDL_AUDIODRIVER=alsa AUDIODEV=hw:99 "$ours" t1.mp3 2>&1) ;;
    mpg123) said=$(mpg123 -o alsa -a hw:99 t1.mp3 2>&1) ;;
    mpv) said=$(mpv --no-config --ao=alsa --audio-device=alsa/hw:99 t1.mp3 2>&1) ;;
  esac
  status=$?
  # Each one's own words (ALSA's library adds its own lines).
  grep -v '^ALSA lib' <<< "$said" | grep -iE 'no sound|could not|found no|sound device' | head -1 > "message-$1"
  if [ $status -ne 0 ] && [ -s "message-$1" ]; then echo "yes (status $status)"; else echo "no (status $status)"; fi
}

probe_wav() {
  rm -f out.wav
  case $1 in
    dar3play) d3 --decode t1.mp3 out.wav > /dev/null 2>&1 ;;
    mpg123) mpg123 -q -w out.wav t1.mp3 2> /dev/null ;;
    mpv) mpv_ --really-quiet --ao=pcm --audio-format=s16 --ao-pcm-file=out.wav t1.mp3 2> /dev/null ;;
  esac
  local frames
  frames=$(measure frames out.wav)
  if near "$frames" "$one_track" 1200; then echo yes; else echo "no"; fi
}

# The players on a terminal: tmux panes of 100x30, playing the long song in real time.
start_pane() {  # name command
  tmux -L $tmux_server new-session -d -s "$1" -x 100 -y 30 "$2"
}
screen_of() { tmux -L $tmux_server capture-pane -p -t "$1"; }
keys() { tmux -L $tmux_server send-keys -t "$1" "${@:2}"; }
pane_command() {
  case $1 in
    dar3play) echo "exec env JED_HEADLESS=0 SDL_AUDIODRIVER=dummy DBUS_SESSION_BUS_ADDRESS='unix:path=$dir/no-bus' '$ours' long.mp3" ;;
    mpg123) echo "mpg123 -C -v -s long.mp3 | sleep 60" ;;  # real time only into a device; the pipe holds it
    mpv) echo "exec mpv --no-config --ao=null long.mp3" ;;
  esac
}

# A meter or a spectrum: a line with ten or more bar marks, moving between two looks.
probe_meters() {
  start_pane "meters-$1" "$(pane_command "$1")"
  sleep 2
  local first second
  first=$(screen_of "meters-$1" | grep -cE '([#█▇▆▅▄▃▂▁|] ?){10,}')
  sleep 0.5
  second=$(screen_of "meters-$1")
  tmux -L $tmux_server kill-session -t "meters-$1"
  if [ "$first" -gt 0 ] && grep -qE '([#█▇▆▅▄▃▂▁|] ?){10,}' <<< "$second"; then echo yes; else echo "no (none on screen)"; fi
}

# The clock a player shows, in seconds.
clock_of() {  # player screen
  case $1 in
    dar3play) grep -oE '[0-9]+:[0-9]{2} / [0-9]+:[0-9]{2}' <<< "$2" | head -1 | awk -F'[: ]' '{print $1 * 60 + $2}' ;;
    mpv) grep -oE 'A: [0-9]{2}:[0-9]{2}:[0-9]{2}' <<< "$2" | tail -1 | awk -F'[: ]' '{print $3 * 3600 + $4 * 60 + $5}' ;;
  esac
}

# Where mpg123 has no key or option to drive, its whole option list is searched instead.
in_mpg123_options() {  # pattern
  if mpg123 --longhelp 2>&1 | grep -qiE "$1"; then echo "n/a (an option to try)"; else echo "no (none in --longhelp)"; fi
}

# A-B loop: the points set at about 1 s and 2.5 s by the keys; 3 s later the clock must be
# back inside them instead of at about 5.5 s.
probe_ab_loop() {
  local set_a set_b
  case $1 in
    dar3play) set_a=("[") set_b=("]" "l") ;;
    mpv) set_a=("l") set_b=("l") ;;
    mpg123)
      in_mpg123_options 'a-b|ab-loop|loop point|loop section'
      return
      ;;
  esac
  start_pane "ab-$1" "$(pane_command "$1")"
  sleep 1
  keys "ab-$1" "${set_a[@]}"
  sleep 1.5
  keys "ab-$1" "${set_b[@]}"
  sleep 3
  local at
  at=$(clock_of "$1" "$(screen_of "ab-$1")")
  tmux -L $tmux_server kill-session -t "ab-$1"
  if [ -z "$at" ]; then
    echo "n/a (no clock on screen)"
  elif [ "$at" -le 3 ]; then
    echo "yes (keys)"
  else
    echo "no (at ${at}s)"
  fi
}

probe_reverse() {
  local out
  out=$(out_of "$1" reverse)
  case $1 in
    dar3play) decode "$1" "$out" --reverse fade.mp3 ;;
    mpv) decode "$1" "$out" --play-dir=backward fade.mp3 ;;
    mpg123)
      in_mpg123_options 'backwards?( |$)|reverse play|play-dir'
      return
      ;;
  esac
  if [ "$(measure backwards "$out")" = 1 ]; then echo yes; else echo no; fi
}

# --- the table ------------------------------------------------------------------------------
start_web_server
start_radio
players=(dar3play mpg123 mpv)
row() {  # label probe [argument]
  local label=$1 probe=$2
  shift 2
  printf '%-30s' "$label"
  for p in "${players[@]}"; do printf ' | %-32s' "$($probe "$p" "$@")"; done
  printf '\n'
}
printf '%-30s' "" && printf ' | %-32s' "dar3play (libdar3 $("$ours" --version 2>&1 | grep -oE '[0-9]+\.[0-9]+' | head -1))" \
  "mpg123 $(mpg123 --version | grep -oE '[0-9]+\.[0-9]+\.[0-9]+')" "mpv $(mpv --version | grep -oE '[0-9]+\.[0-9]+\.[0-9]+' | head -1)" && printf '\n'
printf -- '-%.0s' $(seq 135) && printf '\n'
row "M3U list" probe_list list.m3u
row "PLS list" probe_list list.pls
row "folder (with sub-folders)" probe_folder
row "shuffle" probe_shuffle
row "repeat one track" probe_repeat one
row "repeat the list" probe_repeat all
row "gapless LAME album (length)" probe_gapless
row "ReplayGain (TXXX -6 dB)" probe_replaygain
row "http:// file" probe_http
row "ICY stream title" probe_icy
row "quiet mode" probe_quiet
row "remote control / IPC" probe_remote
row "MPRIS (playerctl)" probe_mpris
row "status after SIGTERM" probe_sigterm
row "no sound device: says so" probe_no_device
row "decode to WAV" probe_wav
row "spectrum or VU on screen" probe_meters
row "A-B loop" probe_ab_loop
row "reverse" probe_reverse
echo
# Cut at 3.1 s and 6.4 s: a click would be a step far above the recording's own there.
printf 'Largest sample step around the album'"'"'s two joins, decoded/original:'
for p in "${players[@]}"; do printf ' %s %s;' "$p" "$(measure joins "$(out_of "$p" album)" album.wav $((31 * rate / 10)) $((64 * rate / 10)))"; done
echo
echo "Radio: $radio_kind."
for p in "${players[@]}"; do echo "No sound device, $p: $(cat "message-$p" 2> /dev/null)"; done
