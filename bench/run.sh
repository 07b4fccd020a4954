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

# yex-cli curve end to end: 1,000,000 points from a file, one table and four,
# and the peak resident memory at 10,000,000 points (streamed).
cd "$work"
awk 'BEGIN { srand(1); for (i = 0; i < 1000000; i++) printf "%.17g\n", 10 ^ (-2.3 + 5.3 * rand()) }' >points.txt
# points.txt is in random order; sorted.txt holds the same points ascending.
sort -g points.txt >sorted.txt
cli="$build/cli/yex-cli"
for tables in "O" "O H Si U"; do
  for file in points.txt sorted.txt; do
    for i in 1 2 3; do
      /usr/bin/time -f "curve $tables, 1e6 points from $file: %e s wall, %M KiB peak" \
        "$cli" curve $tables --from $file >/dev/null || true
    done
  done
done
/usr/bin/time -f "curve O, 1e7 points (log grid): %e s wall, %M KiB peak" \
  "$cli" curve O --log-grid 0.005:1000:10000000 >/dev/null

# The Python module (Debian's python3), against the C++ kernel above.
if [ -d "$build/python" ]; then
  PYTHONPATH="$build/python" /usr/bin/python3 "$root/bench/bench_python.py" "$root/data/YEX-data"
  PYTHONPATH="$build/python" /usr/bin/python3 "$root/bench/scattering_vs_xraydb.py"
fi

# The web page (built by tools/build-web.sh, puppeteer-core installed in web/).
if [ -f "$root/build-web/site/yex.js" ] && [ -d "$root/web/node_modules/puppeteer-core" ]; then
  node "$root/bench/bench_web.mjs"
fi
