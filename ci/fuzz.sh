#!/usr/bin/env bash
# Runs every libFuzzer target of a -DJED_FUZZ=ON build from its committed seed corpus:
#   ci/fuzz.sh [build dir] [seconds per target] [targets at once] [target names...]
# Each target works on a scratch copy of its corpus (the committed seeds stay as they are),
# with its dictionary when it has one. Prints each target's executions, edges and features,
# and fails when a target finds a crash (the input is kept in <build>/fuzz-findings/).
# With FUZZ_BUDGET=cpu the seconds are CPU seconds of the target (its threads included): it
# runs until it has used them, however busy the machine is, and is then interrupted.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-fuzz}
seconds=${2:-60}
parallel=${3:-2}
shift $(( $# < 3 ? $# : 3 ))
areas=("$@")
if [ ${#areas[@]} -eq 0 ]; then
  for dir in fuzz/*/; do
    area=$(basename "$dir")
    [ -d "$dir/corpus" ] && areas+=("$area")
  done
fi
work="$build/fuzz-work"
findings="$build/fuzz-findings"
mkdir -p "$work" "$findings"

# Interrupts the fuzzer under `pid` (itself, or the child of /usr/bin/time) once it has used
# `seconds` of CPU time.
stop_after_cpu() {
  local pid=$1 seconds=$2 ticks_per_second fuzzer
  ticks_per_second=$(getconf CLK_TCK)
  while kill -0 "$pid" 2>/dev/null; do
    sleep 2
    fuzzer=$(pgrep -P "$pid" | head -1 || true)
    fuzzer=${fuzzer:-$pid}
    local used
    used=$(awk -v hz="$ticks_per_second" '{ print int(($14 + $15) / hz) }' "/proc/$fuzzer/stat" 2>/dev/null || echo 0)
    if [ "$used" -ge "$seconds" ]; then
      kill -INT "$fuzzer" 2>/dev/null || true
      return 0
    fi
  done
}

run_one() {
  local area=$1 target="$build/fuzz/$1/fuzz_$1"
  local corpus="$work/$area" log="$work/$area.log" dict=()
  [ -f "fuzz/$area/$area.dict" ] && dict=(-dict="fuzz/$area/$area.dict")
  rm -rf "$corpus" 2>/dev/null || true  # a leftover file only adds to the corpus
  mkdir -p "$corpus" && cp "fuzz/$area/corpus/"* "$corpus/"
  local status=0
  local timer=()
  [ -x /usr/bin/time ] && timer=(/usr/bin/time -f '%U %S' -o "$work/$area.cpu")
  local wall=$seconds started=$SECONDS
  [ "${FUZZ_BUDGET:-wall}" = cpu ] && wall=$((seconds * 20))
  "${timer[@]}" "$target" "${dict[@]}" -max_total_time="$wall" -max_len=16384 -timeout=30 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$findings/${area}-" "$corpus" \
    > "$log" 2>&1 &
  local pid=$!
  [ "${FUZZ_BUDGET:-wall}" = cpu ] && stop_after_cpu "$pid" "$seconds" &
  wait "$pid" || status=$?
  # libFuzzer leaves with 72 when interrupted; in this mode that is how a run ends.
  [ "${FUZZ_BUDGET:-wall}" = cpu ] && [ "$status" -eq 72 ] && grep -q 'run interrupted' "$log" && status=0
  local runs edges features cpu="?" took=$((SECONDS - started))
  [ -s "$work/$area.cpu" ] && cpu=$(awk 'END { printf "%.0f", $1 + $2 }' "$work/$area.cpu")
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  edges=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  features=$(grep -o 'ft: [0-9]*' "$log" | tail -1 | cut -d' ' -f2)
  if [ "$status" -eq 0 ]; then
    printf 'fuzz_%-8s %4ss wall %5ss CPU  %10s runs  %5s edges  %6s features  no finding\n' \
      "$area" "$took" "$cpu" "${runs:-?}" "${edges:-?}" "${features:-?}"
  else
    printf 'fuzz_%-8s FAILED (status %s), see %s:\n' "$area" "$status" "$log"
    grep -A30 -m1 'ERROR\|runtime error\|deadly signal\|timeout' "$log" || tail -30 "$log"
    return 1
  fi
}

failed=0
pids=()
for area in "${areas[@]}"; do
  run_one "$area" &
  pids+=($!)
  if [ ${#pids[@]} -ge "$parallel" ]; then
    wait "${pids[0]}" || failed=$((failed + 1))
    pids=("${pids[@]:1}")
  fi
done
for pid in "${pids[@]}"; do wait "$pid" || failed=$((failed + 1)); done
echo "fuzz: $(( ${#areas[@]} - failed )) passed, $failed failed"
[ "$failed" -eq 0 ]
