# The Python module's array lookup against the C++ kernel (bench_yex's
# BM_TableLookupMillion, same points) and a Python loop over xraylib.
# Run by bench/run.sh with PYTHONPATH at the build's python folder.
import os
import sys
import time

import numpy as np

import yex

data = sys.argv[1]
t = yex.read_table(f"{data}/Si.yex")
x = 0.005 * 200000.0 ** (np.arange(1_000_000) / 999_999.0)


def best(fn, repeat=7):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        fn()
        times.append(time.perf_counter() - start)
    return min(times)


lookup = best(lambda: t.lookup(x))
print(f"python t.lookup, 1e6 points: {lookup * 1e3:.1f} ms ({lookup * 1e3:.1f} ns a point)")
chunk = best(lambda: t.lookup(x[:100_000])) * 10
print(f"python t.lookup, 1e5 points a call: {chunk * 1e3:.1f} ms per 1e6 points")

# Sorted against shuffled, and against xraylib's NumPy binding on the same
# points in the same run: 1e6 log-uniform points between 0.005 and 1000.
try:
    import xraylib_np
except ImportError:
    xraylib_np = None
rng = np.random.default_rng(1)
sweep = np.sort(10.0 ** rng.uniform(np.log10(0.005), 3.0, 1_000_000))
orders = {"sorted": sweep, "shuffled": rng.permutation(sweep)}
# All cores, then the process held to one core (xraylib_np uses one).
cpus = os.sched_getaffinity(0)
for cores in ("all cores", "one core"):
    if cores == "one core":
        os.sched_setaffinity(0, {min(cpus)})
    for symbol, z in (("H", 1), ("O", 8), ("Fe", 26), ("Pb", 82)):
        table = yex.read_table(f"{data}/{symbol}.yex")
        line = []
        for name, pts in orders.items():
            ours = best(lambda: table.lookup(pts), 9)
            text = f"{name} {ours * 1e3:.1f} ms"
            if xraylib_np is not None:
                zs = np.array([z])
                theirs = best(lambda: (xraylib_np.FF_Rayl(zs, pts), xraylib_np.SF_Compt(zs, pts)), 9)
                text += f" / xraylib_np {theirs * 1e3:.1f} ms = {ours / theirs:.2f}x"
            line.append((text, ours))
        ratio = line[1][1] / line[0][1]
        print(f"python {symbol}, {cores}: " + "; ".join(t for t, _ in line) + f"; shuffled/sorted {ratio:.2f}x")
os.sched_setaffinity(0, cpus)

try:
    import xraylib

    sample = x[::10]

    def loop():
        for v in sample:
            xraylib.FF_Rayl(14, v)
            xraylib.SF_Compt(14, v)

    per_point = best(loop, 3) / len(sample)
    total = per_point * len(x)
    print(f"python loop over xraylib FF_Rayl + SF_Compt: {per_point * 1e9:.0f} ns a point "
          f"({total * 1e3:.0f} ms for 1e6 points, {total / lookup:.1f}x t.lookup)")
except ImportError:
    print("python3-xraylib not installed: no xraylib loop")
