#!/usr/bin/env python3
"""Writes chantler.js for the web page: data/chantler/chantler.txt cut to
1-100 keV (with two tabulated rows beyond each end, so that every energy in
1-100 keV has the rows the full table would use), column by column, gzip
compressed and base64 encoded as window.YEX_CHANTLER (a script loads from
file:// where a fetch cannot). The page unpacks it with DecompressionStream
and hands the text to the module (web/dispersion_web.cpp reads it).

    pack_chantler_web.py CHANTLER_TXT OUT.js [XRAY_DATA_TXT]

With data/elam/xray_data.txt also window.YEX_XRAY: Elam's edges and lines
and the materials list, packed the same way (the page's module has them
only from here, so that its first load stays small).

Text: the header lines (# ...), then per element "Z <z> <symbol> <rows>
<edges...>", then all energies, all f', all f'', all mu, one a line.
"""
import base64
import gzip
import pathlib
import sys

LOW, HIGH = 1000.0, 100000.0  # eV


def pack(path):
    header, heads, columns, block = [], [], [[], [], [], []], None
    blocks = []
    for line in pathlib.Path(path).read_text().splitlines():
        if line.startswith("#"):
            if not line.startswith("# sha256"):
                header.append(line)
        elif line.startswith("Z "):
            block = [line]
            blocks.append(block)
        else:
            block.append(line)
    for b in blocks:
        rows = [r.split() for r in b[1:]]
        e = [float(r[0]) for r in rows]
        lo = max(0, max([i for i, x in enumerate(e) if x < LOW], default=0) - 1)
        hi = min(len(rows) - 1, min([i for i, x in enumerate(e) if x > HIGH], default=len(rows) - 1) + 1)
        head = b[0].split()
        first, last = e[lo], e[hi]
        head[3] = str(hi - lo + 1)
        head[4:] = [x for x in head[4:] if first < float(x) < last]
        heads.append(" ".join(head))
        for r in rows[lo:hi + 1]:
            for c in range(4):
                columns[c].append(r[c])
    text = "\n".join(header + heads + [v for c in columns for v in c]) + "\n"
    return f'window.YEX_CHANTLER = "{packed_text(text)}";\n'


def packed_text(text):
    return base64.b64encode(gzip.compress(text.encode(), 9, mtime=0)).decode()


if __name__ == "__main__":
    out = pack(sys.argv[1])
    if len(sys.argv) > 3:
        out += f'window.YEX_XRAY = "{packed_text(pathlib.Path(sys.argv[3]).read_text())}";\n'
    pathlib.Path(sys.argv[2]).write_text(out)
