# Tables on any grid: from arrays and from CSV, kept exactly, looked up and
# integrated as a file's table is, against NumPy's own reading of the rows;
# yex-cli's --table-csv giving the very numbers.
import subprocess
import warnings

import numpy as np
import pytest

import yex
from conftest import BUILD

CLI = str(BUILD / "cli" / "yex-cli")


def loglog(t, q, lookup=True):
    """The lookup's rule read independently: the first row from 2 whose x is not below q, log-log from the one above."""
    x, f, s = t.x, t.f, t.s
    i = np.maximum(np.searchsorted(x, q, side="left"), 1)
    with np.errstate(divide="ignore"):
        w = np.log(q / x[i]) / np.log(x[i] / x[i - 1])
    w[((i == 1) & (q != x[1])) | (lookup & (q < 0.005))] = np.nan  # x = 0 has no logarithm; lookups start at 0.005
    return f[i] * (f[i] / f[i - 1]) ** w, s[i] * (s[i] / s[i - 1]) ** w


def write_csv(path, x, f, s):
    with open(path, "w") as out:
        out.write("# from my own calculation\nx,F,S\n")
        out.writelines(f"{a!r},{b!r},{c!r}\n" for a, b, c in zip(x, f, s))


def test_any_grid_from_csv_and_arrays_kept_exactly_looked_up_and_integrated(tmp_path):
    warnings.simplefilter("ignore", UserWarning)  # "calc is no element's table"
    rng = np.random.default_rng(7)
    for rows in (2, 500, 100_000):
        x = np.concatenate(([0.0], np.sort(rng.uniform(0.001, 60.0, rows - 1))))
        f = 6 * np.exp(-x * x / 3) + 1e-3 * (1.5 + np.sin(x))
        s = 6 * (1 - np.exp(-x)) + 1e-3 * (1.5 + np.cos(x))
        write_csv(tmp_path / "calc.csv", x, f, s)
        read, made = yex.read_csv_table(tmp_path / "calc.csv"), yex.Table(x, f, s, name="calc")
        assert read.name == "calc" and all(np.array_equal(getattr(read, c), v) and np.array_equal(getattr(made, c), v)
                                           for c, v in (("x", x), ("f", f), ("s", s)))
        q = np.concatenate((x[1:], rng.uniform(0.005, x[-1], 20_000)))
        got = np.array(read.lookup(q))
        assert np.array_equal(got, np.array(made.lookup(q)), equal_nan=True)
        own = x[1:] >= 0.005  # a row's own x gives its own values, from where lookups start
        assert np.array_equal(got[:, : rows - 1][:, own], np.array((f[1:], s[1:]))[:, own])
        assert np.allclose(got, loglog(read, q), rtol=1e-11, atol=0, equal_nan=True)  # rows close together cost digits
        # yex-cli reads the same file to the same numbers.
        some = q[rows - 1 :: 997][:12]
        out = subprocess.run([CLI, "curve", "calc", "--from", "-", "--table-csv", str(tmp_path / "calc.csv")],
                             input="\n".join(map(repr, some)), capture_output=True, text=True).stdout
        values = np.array([[float(v or "nan") for v in l.split(",")] for l in out.splitlines() if l[0].isdigit()])
        assert np.array_equal(values, np.column_stack((some, *made.lookup(some))), equal_nan=True)
    # sigma_coh = pi r_e^2 int (1 + u^2) F^2 du over the rows' own log-log curve and the
    # rule below row 2 (F linear in x^2), on a fine grid in u.
    lam = 12.398419843320026 / 20.0
    u = np.linspace(-1.0, 1.0, 2_000_001)
    xu = np.sqrt((1.0 - u) / 2.0) / lam
    fu = np.where(xu < made.x[1], made.f[0] + (made.f[1] - made.f[0]) * (xu / made.x[1]) ** 2,
                  loglog(made, np.maximum(xu, made.x[1]), lookup=False)[0])
    yu = (1.0 + u**2) * fu**2
    fine = np.pi * 2.8179403262e-13**2 * 1e24 * float(np.sum((yu[1:] + yu[:-1]) / 2.0) * (u[1] - u[0]))
    assert yex.cross_section(made, 20.0)[0] == pytest.approx(fine, rel=1e-7)
    # A file's table through CSV is that very table: the same lookups, sigma and averages, bit for bit.
    (tmp_path / "C.csv").write_text(subprocess.run([CLI, "show", "C", "--csv"], capture_output=True, text=True,
                                                   check=True, cwd=tmp_path).stdout)
    c, csv = yex.table("C"), yex.read_csv_table(tmp_path / "C.csv")
    energies, q = np.geomspace(0.1, 1000, 301), np.geomspace(0.004, 2000, 5001)
    assert np.array_equal(np.array(yex.cross_section(c, energies)), np.array(yex.cross_section(csv, energies)))
    assert np.array_equal(np.array(c.lookup(q)), np.array(csv.lookup(q)), equal_nan=True)
    assert yex.average({csv: 2, "H": 4}, q) .keys() == yex.average("C2H4", q).keys()
    assert all(np.array_equal(a, b, equal_nan=True) for a, b in
               zip(yex.average({csv: 2, "H": 4}, q).values(), yex.average("C2H4", q).values()))
    # Rows added on C's own power laws between its rows (about 1.002 apart) leave its curve, and so
    # sigma, as they were: the integration of a fine grid against that of the file's.
    fine_x, fine_f, fine_s = [c.x[:2]], [c.f[:2]], [c.s[:2]]
    for a, b, fa, fb, sa, sb in zip(c.x[1:-1], c.x[2:], c.f[1:-1], c.f[2:], c.s[1:-1], c.s[2:]):
        t = np.arange(1, int(np.ceil(np.log(b / a) / 0.002)) + 1) / np.ceil(np.log(b / a) / 0.002)
        fine_x.append(a * (b / a) ** t)
        fine_f.append(fa * (fb / fa) ** t)
        fine_s.append(sa * (sb / sa) ** t)
    fine = yex.Table(np.concatenate(fine_x), np.concatenate(fine_f), np.concatenate(fine_s), name="C")
    assert len(fine.x) > 10_000
    assert np.allclose(np.array(yex.cross_section(fine, energies)), np.array(yex.cross_section(c, energies)),
                       rtol=1e-11, atol=0)
    cli = [CLI, "--table-csv", str(tmp_path / "C.csv"), "cross-section", "C", "--energy-grid", "1:1000:50"]
    rows = [l for l in subprocess.run(cli, capture_output=True, text=True, check=True, cwd=tmp_path).stdout.splitlines()
            if l[0].isdigit()]
    printed = np.array([[float(v) for v in l.split(",")[:3]] for l in rows])
    assert len(printed) == 50 and np.array_equal(printed[:, 1:], np.column_stack(yex.cross_section(c, printed[:, 0])))


@pytest.mark.parametrize("text, message", [
    ("x,F,S\n0,1,1\n", "it holds 1 row, a table needs 2"),
    ("x,F,S\n0.1,1,1\n0.2,1,1\n", r"line 2: x is 0.1; a table's x starts at 0"),
    ("0,1,1\n0.2,1,1\n0.1,1,1\n", "line 3: x is not above the x of row 2"),
    ("0,1,1\n\n# note\n0.2,1,-1\n", "line 4: S -1 is negative"),
    ("0,1,1\n0.2,1,nan\n", 'line 2: S "nan": not a number'),
    ("0,1,1\n0.2,1e400,1\n", 'line 2: F "1e400": '),
    ("0,1,1\n0.2,1e101,1\n", "line 2: F 1e[+]?101 is above 1e[+]?100"),
    ("0,1,1\n0.2,1,1,4\n", "line 2: 4 fields, not the three x,F,S"),
    ("\ufeffx;F;S\n0;1;1\n", r"line 1: the header names 1 column, not the three x,F,S \(commas or tabs"),
    ("0,1,1\nx,F,S\n", 'line 2: x "x": not a number'),
])
def test_bad_csv_tables_refused_with_the_line_in_python_and_yex_cli(tmp_path, text, message):
    path = tmp_path / "bad.csv"
    path.write_text(text)
    with pytest.raises(ValueError, match=message):
        yex.read_csv_table(path)
    done = subprocess.run([CLI, "lookup", "bad", "0.1", "--table-csv", str(path)], capture_output=True, text=True)
    assert done.returncode == 2 and done.stdout == ""
    assert done.stderr.splitlines()[0].startswith(f"yex-cli: {path}")
    assert done.stderr.splitlines()[0].split(f"{path}")[1] == str(pytest.raises(ValueError, yex.read_csv_table, path).value).split(f"{path}")[1]


def test_a_table_no_file_holds_unchanged_is_not_saved(tmp_path):
    (tmp_path / "bom.csv").write_bytes(b"\xef\xbb\xbfx,F,S\r\n0,2,0\r\n0.5,1,1\r\n")  # as a spreadsheet saves it
    assert yex.read_csv_table(tmp_path / "bom.csv").x.tolist() == [0, 0.5]
    x = np.linspace(0, 10, 500)
    grid = yex.Table(x, np.exp(-x) + 1, np.ones(500), name="grid")
    with pytest.raises(ValueError, match="grid cannot be saved as a table file: it holds 500 rows"):
        grid.save(tmp_path / "grid.yex")
    with pytest.raises(ValueError, match="holds 500 rows, and a table file holds 45; no file can hold it"):
        grid.as_written()
    assert not (tmp_path / "grid.yex").exists()
