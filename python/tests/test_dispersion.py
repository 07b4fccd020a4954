# f' and f'' against their source: every tabulated energy of every element
# read from the database the data file was converted from, a formula as the
# sum of its atoms, and yex-cli printing the same numbers.
import hashlib
import json
import sqlite3
import subprocess

import numpy as np
import pytest

import yex
from conftest import BUILD, ROOT

SOURCE = "/usr/lib/python3/dist-packages/xraydb/xraydb.sqlite"  # python3-xraydb


def source_rows():
    """(element, energy, f1, f2) of every element, read from the database itself."""
    try:
        db = sqlite3.connect(f"file:{SOURCE}?mode=ro", uri=True)
        return db.execute("select element, energy, f1, f2 from Chantler order by id").fetchall()
    except sqlite3.Error:
        pytest.skip("python3-xraydb is not installed")


def test_the_data_file_is_the_one_its_checksum_names():
    lines = (ROOT / "data" / "chantler" / "chantler.txt").read_text().splitlines(keepends=True)
    body = "".join(l for l in lines if not l.startswith("#"))
    stated = [l.split(": ")[1].strip() for l in lines if l.startswith("# sha256 of the lines below")]
    assert stated == [hashlib.sha256(body.encode()).hexdigest()]


def test_every_tabulated_energy_of_every_element_gives_the_source_values_exactly():
    rows = source_rows()
    assert len(rows) == 92
    for symbol, *columns in rows:
        e, f1, f2 = (json.loads(c) for c in columns)
        # Each energy in keV as the database's eV text reads with the point
        # moved (e / 1000 rounds a second time).
        fp, fdp = yex.dispersion(symbol, [float(f"{x!r}e-3") for x in e])
        # An energy listed twice is an edge: there the value above it.
        above = [i + 1 if i + 1 < len(e) and e[i + 1] == e[i] else i for i in range(len(e))]
        assert fp.tolist() == [f1[i] for i in above] and fdp.tolist() == [f2[i] for i in above], symbol


def test_between_rows_log_log_of_the_source_rows_except_where_the_rows_step():
    # The database read here, apart from YEX: at the middle of every interval
    # of every element f'' is log-log between the two rows and f' between
    # them, except in the intervals yex-cli --steps lists (there the row of
    # the step's side, and f'' rises across the step).
    rows = source_rows()
    symbols = [r[0] for r in rows]
    listed = subprocess.run([str(BUILD / "cli" / "yex-cli"), "dispersion", *symbols, "--steps"],
                            capture_output=True, text=True, check=True).stdout.splitlines()
    steps = {}
    for line in listed[listed.index("element,E_keV,mu_below_cm2g,mu_above_cm2g") + 1:]:
        symbol, kev, *_ = line.split(",")
        steps.setdefault(symbol, []).append(float(kev) * 1000)
    assert 0 < sum(map(len, steps.values())) < 40
    for symbol, *columns in rows:
        e, f1, f2 = (np.array(json.loads(c)) for c in columns)
        i = np.nonzero(e[1:] > e[:-1])[0]
        mid = np.sqrt(e[i] * e[i + 1])
        kev = np.array([float(f"{x!r}e-3") for x in mid])
        ev = np.array([float(f"{x!r}e3") for x in kev])  # the eV YEX reads them as
        fp, fdp = yex.dispersion(symbol, kev)
        s = np.log(ev / e[i]) / np.log(e[i + 1] / e[i])
        stepped = np.array([any(a < x < b for x in steps.get(symbol, [])) for a, b in zip(e[i], e[i + 1])], dtype=bool)
        positive = (f2[i] > 0) & (f2[i + 1] > 0) & ~stepped
        want = np.exp(np.log(f2[i][positive]) + s[positive] * (np.log(f2[i + 1][positive]) - np.log(f2[i][positive])))
        assert np.allclose(fdp[positive], want, rtol=1e-12, atol=0), symbol
        assert np.allclose(fp[~stepped], f1[i][~stepped] + s[~stepped] * (f1[i + 1][~stepped] - f1[i][~stepped]),
                           rtol=1e-12, atol=1e-12), symbol
        lo, hi = np.minimum(f2[i], f2[i + 1]), np.maximum(f2[i], f2[i + 1])
        assert np.all((fdp >= lo * (1 - 1e-12)) & (fdp <= hi * (1 + 1e-12))), symbol


def test_a_formula_is_the_sum_of_its_atoms_and_yex_cli_prints_the_same_numbers(tmp_path):
    energies = [7.0148605, 8.04778, 17.479]
    fe, o = (np.array(yex.dispersion(s, energies)) for s in ("Fe", "O"))
    both = np.array(yex.dispersion("Fe2O3", energies))
    assert np.array_equal(both, 2 * fe + 3 * o)
    out = subprocess.run([str(BUILD / "cli" / "yex-cli"), "dispersion", "--formula", "Fe2O3"]
                         + [a for e in energies for a in ("--energy", str(e))],
                         cwd=tmp_path, capture_output=True, text=True, check=True).stdout
    lines = [l for l in out.splitlines() if not l.startswith("#")]
    assert lines[0] == "E_keV,fp(Fe2O3),fdp(Fe2O3)"
    assert lines[1:] == [f"{e},{a!r},{b!r}" for e, a, b in zip(energies, both[0].tolist(), both[1].tolist())]
    # Refused with the reason: no data above Z = 92, outside the tables.
    for name, energy, reason in [("Np", 10, "Z = 1 to 92"), ("UO2", 2000, "outside Chantler's tabulated energies")]:
        with pytest.raises(ValueError, match=reason):
            yex.dispersion(name, energy)


def test_averages_with_dispersion_and_attenuation_against_their_definitions(tmp_path):
    # <|f|^2> and |<f>|^2 with f = F + f' + i f'', from the lookups and f', f''.
    x, kev = np.array([0.05, 0.3, 2.0]), 7.1
    got = yex.average("Fe2O3", x, energy_kev=kev, anomalous=True)
    f = [(yex.table(s).lookup(x)[0] + complex(*yex.dispersion(s, kev)), c) for s, c in (("Fe", 0.4), ("O", 0.6))]
    assert np.allclose(got["f2_mean"], sum(c * abs(v) ** 2 for v, c in f), rtol=1e-13)
    assert np.allclose(got["f_mean_sq"], abs(sum(c * v for v, c in f)) ** 2, rtol=1e-13)
    assert np.array_equal(got["S_mean"], yex.average("Fe2O3", x)["S_mean"])
    # attenuation: coh and incoh are cross-section's per gram, photo the
    # mixture rule of Chantler's; yex-cli prints Python's numbers.
    def run(*args):
        out = subprocess.run([str(BUILD / "cli" / "yex-cli"), "--data", str(ROOT / "data" / "YEX-data"), *args],
                             cwd=tmp_path, capture_output=True, text=True, check=True).stdout
        return [l.split(",") for l in out.splitlines() if not l.startswith("#")]
    energies = ["10", "17.48", "59.54"]
    att = run("attenuation", "Fe", *[a for e in energies for a in ("--energy", e)])
    xs = run("cross-section", "Fe", *[a for e in energies for a in ("--energy", e)])
    assert [r[2:4] for r in att[1:]] == [r[3:5] for r in xs[1:]]
    py = yex.attenuation("Fe", [float(e) for e in energies], data=str(ROOT / "data" / "YEX-data"))
    assert [r[1:5] for r in att[1:]] == [[repr(py[k][i]) for k in ("photo", "coh", "incoh", "total")] for i in range(3)]
    water = run("attenuation", "--formula", "H2O", "--density", "1", "--thickness", "0.1", "--energy", "20")
    assert water[0][-3:] == ["mu_per_cm(H2O)", "length_cm(H2O)", "transmission(H2O)"]
    mu = float(water[1][4]) * 1
    assert [float(v) for v in water[1][5:]] == [mu, 1 / mu, pytest.approx(np.exp(-mu * 0.1), rel=1e-15)]
    # Never an infinite mu or length: refused with the reason.
    for density, thickness, reason in [(1e-320, None, "beyond the range"), (float("inf"), None, "density inf: must be positive"),
                                       (1.0, float("inf"), "thickness inf: must be positive")]:
        with pytest.raises(ValueError, match=reason):
            yex.attenuation("H2O", 20, density=density, thickness=thickness)
