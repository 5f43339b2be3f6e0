# Shared by the install tests (sourced): a scratch folder, failures, and the checks that the
# install tree and the unpacked packages have in common.
set -euo pipefail
here=$(dirname "$(realpath "${BASH_SOURCE[0]}")")
scratch=$(mktemp -d "${TMPDIR:-/tmp}/jed-install.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
# A program started as a user would: no loader path from whoever runs the tests.
unset LD_LIBRARY_PATH

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

expect_files() {  # ROOT FILE...
  local root=$1
  shift
  for f in "$@"; do
    [ -e "$root/$f" ] || fail "$root/$f is missing"
  done
}

# A short MP3 (0.8 s of a 440 Hz tone) made with sox and lame.
make_tone() {
  sox -n -r 44100 -c 2 -b 16 "$scratch/tone.wav" synth 0.8 sine 440
  lame --quiet "$scratch/tone.wav" "$scratch/tone.mp3"
  echo "$scratch/tone.mp3"
}

# dar3play --info and --decode on the tone.
check_dar3play() {  # DAR3PLAY TONE
  local info
  info=$("$1" --info "$2") || fail "$1 --info failed: $info"
  grep -q 44100 <<<"$info" || fail "$1 --info shows no 44100 Hz: $info"
  "$1" --decode "$2" "$scratch/decoded.wav" >/dev/null || fail "$1 --decode failed"
  local seconds
  seconds=$(soxi -D "$scratch/decoded.wav")
  awk -v s="$seconds" 'BEGIN { exit !(s > 0.7 && s < 1.0) }' || fail "decoded $seconds s instead of about 0.8 s"
}

# The game on Xvfb from a folder without data: its title frame must be the title picture, and
# the SDL smoke run takes it through the story into the level and ends it cleanly.
check_game_title() {  # GAME DATA_DIR
  local work="$scratch/no-data-here"
  mkdir -p "$work"
  "$here/../game/sdl_smoke.sh" "$1" "$work" "$scratch/level.png" "$2/Grimstorm0.BMP" ||
    fail "the game did not run through its title from $work"
}

# Validators the issue asks for where they are installed.
validate_desktop_files() {  # DATAROOT (share/)
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$1/applications/jed-grimstorm.desktop" || fail "desktop-file-validate"
    echo "desktop-file-validate: ok"
  else
    echo "SKIP: desktop-file-validate not installed"
  fi
  if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$1"/metainfo/*.metainfo.xml || fail "appstreamcli validate"
  else
    echo "SKIP: appstreamcli not installed"
  fi
}
