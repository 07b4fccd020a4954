#!/usr/bin/env python3
"""Converts Chantler's anomalous scattering factors and photoabsorption, as
Debian's python3-xraydb holds them, into data/chantler/chantler.txt: the
source of these numbers for YEX, committed with its provenance and checksum.
Run at development time only; YEX never reads the database.

    tools/convert_chantler.py [XRAYDB_SQLITE] [OUT]

Per element (Z = 1-92) a line "Z <Z> <symbol> <rows> <edge energies in eV>",
then one line a tabulated energy: E (eV), f1 (that is f', as the database's
f1 column holds it), f2 (f''), mu_photo (cm^2/g), each the database's double
in its shortest round-trip text. An edge is listed where one of the
database's absorption edges (xray_levels) lies strictly between two
tabulated energies and mu_photo rises across them.
"""
import hashlib
import json
import pathlib
import sqlite3
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SOURCE = "/usr/lib/python3/dist-packages/xraydb/xraydb.sqlite"


def convert(db_path):
    db = sqlite3.connect(db_path)
    rows = db.execute("select id, element, energy, f1, f2, mu_photo from Chantler order by id").fetchall()
    body = []
    for z, symbol, *columns in rows:
        e, f1, f2, mu = (json.loads(c) for c in columns)
        assert len(e) == len(f1) == len(f2) == len(mu), symbol
        assert all(a <= b for a, b in zip(e, e[1:])), symbol
        levels = [r[0] for r in db.execute("select absorption_edge from xray_levels where element = ?", (symbol,))]
        edges = sorted({x for x in levels for i in range(len(e) - 1) if e[i] < x < e[i + 1] and mu[i + 1] > mu[i]})
        body.append(" ".join(["Z", str(z), symbol, str(len(e))] + [repr(float(x)) for x in edges]))
        for row in zip(e, f1, f2, mu):
            body.append(" ".join(repr(float(v)) for v in row))
    assert [int(l.split()[1]) for l in body if l.startswith("Z ")] == list(range(1, 93))
    text = "\n".join(body) + "\n"
    source_sum = hashlib.sha256(pathlib.Path(db_path).read_bytes()).hexdigest()
    header = [
        "# f' (f1), f'' (f2) and the photoabsorption mu/rho (cm^2/g) against photon energy (eV), Z = 1-92:",
        "# C. T. Chantler, J. Phys. Chem. Ref. Data 24, 71 (1995); 29, 597 (2000) (NIST FFAST), public domain,",
        "# as compiled in XrayDB by M. Newville (public domain): Debian's python3-xraydb 4.4.7+ds1-3,",
        f"# xraydb.sqlite (sha256 {source_sum}), table Chantler, columns energy, f1, f2, mu_photo;",
        "# absorption edges from its table xray_levels. Written by tools/convert_chantler.py.",
        f"# sha256 of the lines below: {hashlib.sha256(text.encode()).hexdigest()}",
    ]
    return "\n".join(header) + "\n" + text


if __name__ == "__main__":
    db_path = sys.argv[1] if len(sys.argv) > 1 else SOURCE
    out = pathlib.Path(sys.argv[2] if len(sys.argv) > 2 else ROOT / "data" / "chantler" / "chantler.txt")
    out.write_text(convert(db_path))
