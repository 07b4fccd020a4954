# Typical use of the package, checked by mypy --strict against its stub
# (test_yex.py): nothing here may need a cast or an ignore.
import copy
import pickle

import numpy as np
import numpy.typing as npt

import yex

water = yex.compound("H2O", name="Water")
coh, incoh = yex.cross_section(water, [10.0, 17.48, 59.54])
total: npt.NDArray[np.float64] = coh + incoh
ratio = coh / incoh
doubled = coh * 2
print(total.sum(), ratio.max(), doubled[0])
c1, i1 = yex.cross_section(water, 17.48)
print(c1 + i1, c1 / i1)
dc, di = yex.dcs(water, np.arange(5.0, 150.0, 0.5), 17.48)
print(dc.sum(), (dc + di).mean())
f, s = yex.table("Si").lookup(0.3)
fa, sa = yex.table("Si").lookup(np.linspace(0.01, 2.0, 100))
print(f * 2.0, fa.mean() + sa.mean())
n: float = yex.parse_formula("H2O")["O"]
avg = yex.average("SiO2", [0.1, 0.2], energy_kev=17.48, breit_dirac=2)
print(avg["f2_mean"].max(), avg["S_mean_BD"][0], n)
one = yex.average({"Si": 1, "O": 2}, 0.1)
print(one["f2_mean"] + one["S_mean"])
mine = yex.Table(water.x, water.f, water.s, name="Mine")
same = pickle.loads(pickle.dumps(mine))
deep: yex.Table = copy.deepcopy(mine)
print(repr(same), deep.source, mine.name)
x = yex.x_from_theta(np.arange(5.0, 150.0, 0.5), energy_kev=17.48)
print(x.max() + yex.x_from_q(1.0))
mix = yex.mixture({"H": 11.19, "O": 88.81})
print(mix.lookup(x)[0].sum(), yex.tables()[:3], yex.__version__)
