# Edges, lines and materials against the database and list they were
# converted from, read here apart from the code; the index and a mirror's
# reflectivity against XrayDB's own functions and closed forms.
import hashlib
import pathlib
import re
import sqlite3
from decimal import Decimal

import numpy as np
import pytest

import yex
from conftest import ROOT

XRAYDB = pathlib.Path("/usr/lib/python3/dist-packages/xraydb")  # python3-xraydb


def database():
    try:
        return sqlite3.connect(f"file:{XRAYDB / 'xraydb.sqlite'}?mode=ro", uri=True)
    except sqlite3.Error:
        pytest.skip("python3-xraydb is not installed")


def test_the_data_file_is_the_one_its_checksum_names_and_holds_the_database_and_the_list():
    lines = (ROOT / "data" / "elam" / "xray_data.txt").read_text().splitlines(keepends=True)
    body = "".join(l for l in lines if not l.startswith("#"))
    stated = [l.split(": ")[1].strip() for l in lines if l.startswith("# sha256 of the lines below")]
    assert stated == [hashlib.sha256(body.encode()).hexdigest()]
    db = database()
    symbols = [s for (s,) in db.execute("select element from elements where atomic_number <= 98 order by atomic_number")]
    assert len(symbols) == 98
    edges = lines_ = 0
    for symbol in symbols:
        want = db.execute("select iupac_symbol, absorption_edge, fluorescence_yield, jump_ratio from xray_levels "
                          "where element = ? order by id", (symbol,)).fetchall()
        got = yex.edges(symbol)
        assert [(e["edge"], e["fluorescence_yield"], e["jump_ratio"]) for e in got] == [(w[0], w[2], w[3]) for w in want]
        # keV: the eV with the point moved, within a rounding of e / 1000.
        assert all(abs(e["energy_kev"] * 1000 - w[1]) <= 1e-12 * w[1] for e, w in zip(got, want)), symbol
        want = db.execute("select siegbahn_symbol, iupac_symbol, initial_level, final_level, emission_energy, intensity "
                          "from xray_transitions where element = ? order by id", (symbol,)).fetchall()
        got = yex.lines(symbol)
        assert [(l["line"], l["iupac"], l["initial"], l["final"], l["intensity"]) for l in got] == \
            [(w[0], w[1], w[2], w[3], w[5]) for w in want]
        assert all(abs(l["energy_kev"] * 1000 - w[4]) <= 1e-12 * w[4] for l, w in zip(got, want)), symbol
        for l in got:
            assert yex.line_energy(symbol, l["line"]) == l["energy_kev"] == yex.line_energy(symbol, l["iupac"])
        edges, lines_ = edges + len(want), lines_ + len(got)
    assert lines_ > 1500
    # The materials: every line of the list, its formula without blanks, and a formula the package reads.
    listed = []
    for raw in (XRAYDB / "materials.dat").read_text().splitlines():
        if raw.strip() and not raw.lstrip().startswith("#"):
            name, density, _, formula = (f.strip() for f in raw.split("|"))
            # Counts in exponent form written out (9.34e-3 as 0.00934): formulas take decimals.
            formula = re.sub(r"\d+\.?\d*[eE][-+]?\d+", lambda m: format(Decimal(m.group()), "f"), formula.replace(" ", ""))
            listed.append({"name": " ".join(name.lower().split()), "formula": formula, "density": float(density)})
    assert yex.materials(data="no-such-folder") == listed
    for m in listed:
        assert sum(yex.parse_formula(m["formula"]).values()) > 0


def test_index_and_reflectivity_against_xraydb_and_closed_forms():
    xraydb = pytest.importorskip("xraydb")
    energies = np.array([5.0, 8.0463, 17.48, 30.0, 60.0])
    for z in range(1, 93):
        symbol = xraydb.atomic_symbol(z)
        got = yex.index({symbol: 100.0}, energies, density=2.0)
        edges = [e["energy_kev"] for e in yex.edges(symbol)]
        for i, e in enumerate(energies):
            if any(abs(e / edge - 1) < 0.02 for edge in edges):
                continue  # beside an edge the two interpolate the rows differently
            delta, beta, _ = xraydb.xray_delta_beta(symbol, 2.0, e * 1000)
            assert got["delta"][i] == pytest.approx(delta, rel=2e-3), (symbol, e)
            assert got["beta"][i] == pytest.approx(beta, rel=2e-3), (symbol, e)
            assert got["critical_angle_mrad"][i] == pytest.approx(np.sqrt(2 * got["delta"][i]) * 1000, rel=1e-15)
    # The materials of everyday work, closer: delta and beta within 1e-4, s within
    # 1e-3; the attenuation length (YEX's own scattering beside Chantler's
    # photoabsorption, where XrayDB takes Chantler's scattering) within 2 %.
    for name, formula, density in (("water", "H2O", 1.0), ("silicon", "Si", 2.329), ("gold", "Au", 19.3),
                                   ("kapton", "C22H10N2O5", 1.42)):
        for e in (8.048, 17.479):
            got = yex.index(yex.material(name), e)
            delta, beta, length = xraydb.xray_delta_beta(formula, density, e * 1000)
            assert got["delta"] == pytest.approx(delta, rel=1e-4) and got["beta"] == pytest.approx(beta, rel=1e-4)
            assert got["length_cm"] == pytest.approx(length, rel=2e-2), (name, e)
            assert got["length_cm"] == yex.attenuation(yex.material(name), e)["length_cm"]
            r = yex.reflectivity(yex.material(name), e, np.linspace(0.5, 10, 40))
            want = xraydb.mirror_reflectivity(formula, np.linspace(0.5, 10, 40) / 1000, e * 1000, density)
            np.testing.assert_allclose(r, want, rtol=1e-3, err_msg=f"{name} {e}")
    angles = np.linspace(0.5, 10, 40)
    for name, symbol_or_formula, density in (("silicon", "Si", 2.329), ("gold", "Au", 19.3), ("kapton", "C22H10N2O5", 1.42)):
        for e in (8.0463, 17.48):
            for sigma in (0.0, 5.0):
                r = yex.reflectivity(yex.material(name), e, angles, roughness=sigma)
                want = xraydb.mirror_reflectivity(symbol_or_formula, angles / 1000, e * 1000, density, roughness=sigma)
                np.testing.assert_allclose(r, want, rtol=1e-2, err_msg=f"{name} {e} {sigma}")
                p = yex.reflectivity(yex.material(name), e, angles, roughness=sigma, polarization="p")
                want = xraydb.mirror_reflectivity(symbol_or_formula, angles / 1000, e * 1000, density, roughness=sigma,
                                                  polarization="p")
                np.testing.assert_allclose(p, want, rtol=1e-2, err_msg=f"{name} {e} {sigma} p")
                both = yex.reflectivity(yex.material(name), e, angles, roughness=sigma, polarization="unpolarized")
                assert np.array_equal(both, (r + p) / 2)
                # Brewster's angle is 45 degrees where n is so near 1: p is hardly reflected there.
                brewster = [yex.reflectivity(yex.material(name), e, 250 * np.pi, polarization=q) for q in "sp"]
                assert brewster[1] < 1e-3 * brewster[0]
                # Far above the critical angle r tends to (delta - i beta) / 2 sin^2 theta;
                # roughness only lowers R.
                n = yex.index(yex.material(name), e)
                if sigma == 0:
                    theta = 40 * n["critical_angle_mrad"] / 1000
                    far = yex.reflectivity(yex.material(name), e, theta * 1000)
                    assert far == pytest.approx((n["delta"] ** 2 + n["beta"] ** 2) / (4 * np.sin(theta) ** 4), rel=1e-2)
                else:
                    assert np.all(r <= yex.reflectivity(yex.material(name), e, angles))
