#!/usr/bin/env python3
"""Converts Elam, Ravel and Sieber's absorption edges and emission lines, and
the list of common materials, as Debian's python3-xraydb holds them, into
data/elam/xray_data.txt: the source of these numbers for YEX, committed with
its provenance and checksum. Run at development time only; YEX never reads
the database.

    tools/convert_elam.py [XRAYDB_DIR] [OUT]

Lines of the output (numbers as the database holds them, shortest text):
  edge <symbol> <edge> <energy eV> <fluorescence yield> <jump ratio>
  line <symbol> <Siegbahn name> <IUPAC name> <initial> <final> <energy eV> <intensity>
  material <density g/cm3> <formula>|<name>
Edges and lines of Z = 1-98 in the database's order; a material's formula
without blanks (the list writes "C22 H10 N2 O5") and with counts in exponent
form written out (9.34e-3 as 0.00934), its name in lower case.
"""
import hashlib
import pathlib
import re
import sqlite3
import sys
from decimal import Decimal

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE = "/usr/lib/python3/dist-packages/xraydb"


def number(text):
    return repr(float(text))


def convert(folder):
    db_path = pathlib.Path(folder) / "xraydb.sqlite"
    materials_path = pathlib.Path(folder) / "materials.dat"
    db = sqlite3.connect(db_path)
    z_of = {s: z for z, s in db.execute("select atomic_number, element from elements")}
    body = []
    for symbol, name, e, yld, jump in db.execute(
            "select element, iupac_symbol, absorption_edge, fluorescence_yield, jump_ratio from xray_levels order by id"):
        if z_of[symbol] <= 98:
            body.append(f"edge {symbol} {name} {number(e)} {number(yld)} {number(jump)}")
    for symbol, iupac, siegbahn, initial, final, e, intensity in db.execute(
            "select element, iupac_symbol, siegbahn_symbol, initial_level, final_level, emission_energy, intensity "
            "from xray_transitions order by id"):
        if z_of[symbol] <= 98:
            body.append(f"line {symbol} {siegbahn} {iupac} {initial} {final} {number(e)} {number(intensity)}")
    for raw in materials_path.read_text().splitlines():
        if not raw.strip() or raw.lstrip().startswith("#"):
            continue
        name, density, _categories, formula = (f.strip() for f in raw.split("|"))
        # Counts in exponent form written out (air's Ar9.34e-3): formulas take decimals.
        formula = re.sub(r"\d+\.?\d*[eE][-+]?\d+", lambda m: format(Decimal(m.group()), "f"), formula.replace(" ", ""))
        body.append(f"material {number(density)} {formula}|{' '.join(name.lower().split())}")
    text = "\n".join(body) + "\n"
    header = [
        "# X-ray absorption edges (eV) with fluorescence yields and jump ratios, and emission lines (eV) with",
        "# their relative intensities within a level: W. T. Elam, B. D. Ravel and J. R. Sieber, Radiat. Phys.",
        "# Chem. 63, 121 (2002), public domain; common materials with densities (g/cm3) after B. Ravel's list;",
        "# as compiled in XrayDB by M. Newville (public domain): Debian's python3-xraydb 4.4.7+ds1-3,",
        f"# xraydb.sqlite (sha256 {hashlib.sha256(db_path.read_bytes()).hexdigest()}), tables xray_levels and",
        f"# xray_transitions; materials.dat (sha256 {hashlib.sha256(materials_path.read_bytes()).hexdigest()}).",
        "# Written by tools/convert_elam.py.",
        f"# sha256 of the lines below: {hashlib.sha256(text.encode()).hexdigest()}",
    ]
    return "\n".join(header) + "\n" + text


if __name__ == "__main__":
    folder = sys.argv[1] if len(sys.argv) > 1 else SOURCE
    out = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else ROOT / "data" / "elam" / "xray_data.txt")
    out.write_text(convert(folder))
