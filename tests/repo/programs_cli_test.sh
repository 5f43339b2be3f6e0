#!/usr/bin/env bash
# Every program answers --help and --version with status 0, and refuses an unknown option or
# a missing value with the usage and status 2, without acting on the rest of the command line
# (no file or folder appears). Arguments: PROGRAM:VALUE_OPTION ...
set -u
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
export JED_HEADLESS=1 SDL_AUDIODRIVER=dummy

run() {  # program args...: sets status, out, err
  timeout 30 "$@" > "$work/.out" 2> "$work/.err"
  status=$?
  out=$(cat "$work/.out")
  err=$(cat "$work/.err")
}

for spec in "$@"; do
  program=${spec%:*}
  value_option=${spec##*:}
  name=$(basename "$program")
  run "$program" --help
  [ "$status" -eq 0 ] || fail "$name --help: status $status"
  [[ "$out" == Usage:\ "$name"* ]] || fail "$name --help: no usage on stdout: ${out:0:80}"
  [ -z "$err" ] || fail "$name --help wrote to stderr: $err"
  [ "$(printf '%s\n' "$out" | wc -l)" -le 60 ] || fail "$name --help is longer than a screen"

  run "$program" --version
  [ "$status" -eq 0 ] || fail "$name --version: status $status"
  [[ "$out" == *[0-9].[0-9]* ]] || fail "$name --version: no version number: $out"

  run "$program" --no-such-option made-by-"$name"
  [ "$status" -eq 2 ] || fail "$name --no-such-option: status $status"
  [[ "$err" == *"unknown option '--no-such-option'"*"Usage: $name"* ]] || fail "$name: unknown option not named: $err"

  run "$program" "$value_option"
  [ "$status" -eq 2 ] || fail "$name $value_option without its value: status $status"
  [[ "$err" == *"needs a value"* ]] || fail "$name $value_option: missing value not named: $err"

  run "$program" made-by-"$name" --help
  [ "$status" -eq 0 ] || fail "$name FOLDER --help: status $status"

  leftovers=$(ls -A "$work" | grep -v '^\.out$\|^\.err$')
  [ -z "$leftovers" ] || fail "$name acted on a refused or help command line: made $leftovers"
done

echo "$(( $# - failures < 0 ? 0 : $# )) programs checked, $failures failures"
[ "$failures" -eq 0 ]
