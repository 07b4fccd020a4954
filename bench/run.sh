#!/usr/bin/env bash
# Runs the benchmarks and measures start-up (median of 20 runs, off screen,
# with the 98 shipped tables listed). Needs a built tree in ../build.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"
export QT_QPA_PLATFORM=offscreen
echo "cores: $(nproc)"
"$build/bench/bench_yex" --benchmark_min_time=0.5 "$@"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir "$work/YEX-data"
cp "$root"/data/YEX-data/*.yex "$work/YEX-data/"
cd "$work"
"$build/bench/bench_startup" >/dev/null  # warm the file cache
for i in $(seq 20); do "$build/bench/bench_startup"; done | sort -n |
  awk '{ms[NR]=$1; kib[NR]=$2; n=$3} END {printf "start-up: median %.1f ms of %d runs (min %.1f, max %.1f), resident %d KiB, %d tables listed\n", (ms[10]+ms[11])/2, NR, ms[1], ms[NR], kib[10], n}'
