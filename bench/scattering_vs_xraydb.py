"""YEX's Python attenuation and dispersion against xraydb on 100,000
energies (1-100 keV) in the same run: attenuation('H2O') against
material_mu('H2O', density 1), dispersion('Fe') against f1_chantler +
f2_chantler. Best of several runs each. Run with the module on PYTHONPATH
(bench/run.sh), or with a wheel's module installed."""
import time

import numpy as np
import xraydb

import yex


def best(fn, repeat):
    times = []
    for _ in range(repeat):
        start = time.perf_counter()
        fn()
        times.append(time.perf_counter() - start)
    return min(times)


E = np.linspace(1.0, 100.0, 100_000)
ours = best(lambda: yex.attenuation("H2O", E), 3)
theirs = best(lambda: xraydb.material_mu("H2O", E * 1000, density=1.0), 1)
print(f"attenuation H2O, 1e5 energies: yex {ours * 1e3:.1f} ms, xraydb material_mu {theirs * 1e3:.0f} ms: "
      f"{ours / theirs:.3f}x")
ours = best(lambda: yex.dispersion("Fe", E), 5)
theirs = best(lambda: (xraydb.f1_chantler("Fe", E * 1000), xraydb.f2_chantler("Fe", E * 1000)), 5)
print(f"dispersion Fe, 1e5 energies: yex {ours * 1e3:.1f} ms, xraydb f1_chantler + f2_chantler {theirs * 1e3:.1f} ms: "
      f"{ours / theirs:.2f}x")
