#!/usr/bin/env bash
# The cost of libdar3 to a program that only decodes: a minimal C program (tests/dar3lib)
# opens an MP3 in the no-output mode and exits at the first decoded block. Prints the shared
# libraries it has mapped then, whether SDL is among them, and the median wall time from exec
# to the first block over RUNS runs; with a peer (mpg123 decoding the same file to /dev/null,
# the same number of runs) for scale.
# usage: first_block.sh [BUILD_DIR] [RUNS]
set -euo pipefail
build=$(realpath "${1:-build}")
runs=${2:-30}
program="$build/tests/dar3lib/dar3_first_block"
[ -x "$program" ] || { echo "build the dar3_first_block target first"; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
head -c 529200 /dev/zero | lame --quiet -r -s 44.1 --bitwidth 16 -b 128 - "$work/tone.mp3" 2>/dev/null  # 3 s

median_ms() {  # command... : median wall time of RUNS runs in milliseconds
  python3 - "$runs" "$@" <<'PY'
import subprocess, sys, time, statistics
runs = int(sys.argv[1]); cmd = sys.argv[2:]
times = []
for _ in range(runs):
    t = time.perf_counter()
    subprocess.run(cmd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    times.append((time.perf_counter() - t) * 1e3)
print(f"{statistics.median(times):.2f}")
PY
}

env -u JED_HEADLESS "$program" "$work/tone.mp3" --list
ours=$(median_ms "$program" "$work/tone.mp3")
echo "start-up to first decoded block: median ${ours} ms over $runs runs"
if command -v mpg123 >/dev/null; then
  peer=$(median_ms mpg123 -q -n 1 -w /dev/null "$work/tone.mp3")
  echo "peer mpg123 (decode one frame): median ${peer} ms; ratio ours/peer $(python3 -c "print(f'{$ours/$peer:.2f}')")"
fi
