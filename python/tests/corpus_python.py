"""The Python package's answers to the cross-front-end corpus (web/tests/corpus.test.mjs).

Reads a JSON list of requests on standard input and writes one answer each:
{"rows": [[numbers...], ...]} with the columns yex-cli prints that the package
computes, {"error": message} for a refusal, or {"skip": why} where the request
has no Python form (a grid, a wavelength, a number the package cannot be given).
Points of averages and curves are the x values yex-cli printed (they read back
to the same doubles), so only the computation is compared.
"""
import json
import math
import os
import sys

import yex


class Skip(Exception):
    pass


def number(text):
    try:
        v = float(text)
    except ValueError:
        raise Skip("not a number")
    if not math.isfinite(v) or text.strip() != text or text.lower().startswith(("0x", "inf", "nan", "+")):
        raise Skip("no Python number")
    if v == 0 and any(c in "123456789" for c in text.lower().split("e")[0]):
        raise Skip("too small for a double: Python reads it as 0")
    return v


def energies(r):
    if r.get("energyGrid") or r.get("wavelengths"):
        raise Skip("grid or wavelength")
    return [number(e) for e in r.get("energies", [])]


def entry(text, weights):
    """TABLE:PERCENT[:ATOMIC_WEIGHT] as the tuple the package takes."""
    parts = text.split(":")
    if len(parts) < 2 or len(parts) > (3 if weights else 2) or not parts[0]:
        raise Skip("not an entry")
    return (parts[0], *[number(p) for p in parts[1:]])


def is_element_table(name):
    bare = name[:-4] if name.lower().endswith(".yex") else name
    symbol = bare[:1].upper() + bare[1:].lower()
    try:
        return bool(symbol) and yex.parse_formula(symbol) == {symbol: 1}
    except ValueError:
        return False


def attenuation(r):
    es = energies(r)
    kw = {}
    for key in ("density", "thickness"):
        if r.get(key):
            kw[key] = number(r[key])
    columns = ("photo", "coh", "incoh", "total", "mu_per_cm", "length_cm", "transmission")
    if r.get("material") is not None:
        materials = [yex.material(r["material"])]
    elif r.get("formula") is not None:
        materials = [r["formula"]]
    elif any(":" in t for t in r["tables"]):
        materials = [[entry(t, True) for t in r["tables"]]]
    else:
        # An element's table by the table rule: a mixture of that one element.
        if not all(is_element_table(t) for t in r["tables"]):
            raise Skip("a table that is no element's")
        if r.get("density") and len(r["tables"]) > 1:
            raise Skip("one density, several materials")
        materials = [{t: 100.0} for t in r["tables"]]
    got = [yex.attenuation(m, es, **kw) for m in materials]
    return [[e] + [float(g[c][i]) for g in got for c in columns if c in g] for i, e in enumerate(es)]


def dispersion(r):
    if r.get("steps"):
        raise Skip("the steps have no Python form")
    es = energies(r)
    if r.get("formula") is not None:
        names = [r["formula"]]
    else:
        # The package reads formulas; an element's symbol as typed is one.
        names = r["tables"]
        if not all(n.isalpha() and is_element_table(n) and n[:1].upper() + n[1:].lower() == n for n in names):
            raise Skip("a table name that is no symbol as written")
    got = [yex.dispersion(n, es) for n in names]
    return [[e] + [float(v) for fp, fdp in got for v in (fp[i], fdp[i])] for i, e in enumerate(es)]


def cross_section(r):
    es = energies(r)
    if any(":" in t for t in r["tables"]):
        raise Skip("molar masses")
    # Python finds a table (yex.table) before it is given energies.
    if not all(is_element_table(t) for t in r["tables"]):
        raise Skip("a table found apart from the request")
    tables = [yex.table(t) for t in r["tables"]]
    got = [yex.cross_section(t, es) for t in tables]
    return [[e] + [float(v) for coh, incoh in got for v in (coh[i], incoh[i])] for i, e in enumerate(es)]


def beam(r):
    kw = {}
    if r.get("energy"):
        kw["wavelength" if r.get("energyKind") == "wavelength" else "energy_kev"] = number(r["energy"])
    return kw


def average(r, xs):
    comp = r["formula"] if r.get("formula") is not None else [(t, c) for t, c in (entry(e, False) for e in r["entries"])]
    kw = beam(r)
    if r.get("breitDirac"):
        kw["breit_dirac"] = int(r["breitDirac"])
    got = yex.average(comp, xs, anomalous=bool(r.get("anomalous")), **kw)
    keys = ["f2_mean", "f_mean_sq", "S_mean"] + (["S_mean_BD"] if r.get("breitDirac") else [])
    return [[float(got[k][i]) for k in keys] for i in range(len(xs))]


def curve(r, xs):
    got = [yex.table(t).lookup(xs) for t in r["tables"]]
    return [[float(v) for f, s in got for v in (f[i], s[i])] for i in range(len(xs))]


def table_rows(t):
    return [[float(a), float(b), float(c)] for a, b, c in zip(t.x, t.f, t.s)]


def built(r):
    if r["kind"] == "compound":
        comp = r["formula"] if r.get("formula") is not None else [entry(e, False) for e in r["entries"]]
        return table_rows(yex.compound(comp, name=r["name"]))
    return table_rows(yex.mixture([entry(e, True) for e in r["entries"]], name=r["name"]))


def optical_material(r):
    """What index and reflectivity are of, as the package takes it."""
    if r.get("material") is not None:
        if r.get("formula") is not None or r.get("tables"):
            raise Skip("a material with tables or a formula: no Python form")
        return yex.material(r["material"])
    if r.get("formula") is not None:
        return r["formula"]
    tables = r["tables"]
    if any(":" in t for t in tables):
        return [entry(t, True) for t in tables]
    if len(tables) != 1 or not (is_element_table(tables[0]) and tables[0][:1].upper() + tables[0][1:].lower() == tables[0]):
        raise Skip("a table name that is no symbol as written")
    return tables[0]


def index(r):
    es = energies(r)
    kw = {"density": number(r["density"])} if r.get("density") else {}
    got = yex.index(optical_material(r), es, **kw)
    return [[e] + [float(got[c][i]) for c in ("delta", "beta", "critical_angle_mrad", "length_cm")]
            for i, e in enumerate(es)]


def reflectivity(r):
    es = energies(r)
    if len(es) != 1 or r.get("angles") is None:
        raise Skip("no angles from yex-cli")
    kw = {"density": number(r["density"])} if r.get("density") else {}
    if r.get("roughness"):
        kw["roughness"] = number(r["roughness"])
    if r.get("polarization"):
        kw["polarization"] = r["polarization"]
    got = yex.reflectivity(optical_material(r), es[0], r["angles"], **kw)
    return [[a, float(v)] for a, v in zip(r["angles"], got)]


def answer(r):
    kind = r["kind"]
    try:
        ways = (r.get("formula") is not None) + (r.get("material") is not None) + bool(r.get("tables") or r.get("entries"))
        if r.get("display") or ways > 1:
            raise Skip("display patterns, or a formula, a material and tables together: no Python form")
        if kind == "attenuation":
            return {"rows": attenuation(r)}
        if kind == "dispersion":
            return {"rows": dispersion(r)}
        if kind == "cross-section":
            return {"rows": cross_section(r)}
        if kind == "index":
            return {"rows": index(r)}
        if kind == "reflectivity":
            return {"rows": reflectivity(r)}
        if kind in ("edges", "lines", "materials"):
            raise Skip("lists: the package gives dicts, tested on their own")
        if kind in ("average", "curve"):
            xs = r.get("xs")
            if xs is None:
                raise Skip("no points from yex-cli")
            return {"rows": (average if kind == "average" else curve)(r, xs)}
        if kind in ("compound", "mixture"):
            out = {"rows": built(r)}
            if r.get("cliFile"):
                out["cliRows"] = table_rows(yex.read_table(r["cliFile"]))
            return out
        raise Skip("unknown kind")
    except Skip as s:
        return {"skip": str(s)}
    except (ValueError, OSError) as e:
        return {"error": str(e)}


def main():
    os.chdir(sys.argv[1])
    import warnings

    warnings.simplefilter("ignore")
    answers = [answer(r) for r in json.load(sys.stdin)]
    # An empty field of yex-cli's (no value) is NaN here: null in JSON.
    for a in answers:
        if "rows" in a:
            a["rows"] = [[None if isinstance(v, float) and math.isnan(v) else v for v in row] for row in a["rows"]]
    json.dump(answers, sys.stdout, allow_nan=False)


if __name__ == "__main__":
    main()
