# The Python module against yex-cli on the same inputs: lookups bit for bit,
# compounds and mixtures byte for byte, cross sections and averages equal.
import math
import os
import pathlib
import shutil
import subprocess

import numpy as np
import pytest

import yex
from conftest import BUILD, ROOT

CLI = str(BUILD / "cli" / "yex-cli")
SHIPPED = ROOT / "data" / "YEX-data"


def cli(*args, cwd):
    run = subprocess.run([CLI, *map(str, args)], cwd=cwd, capture_output=True, text=True)
    return run.returncode, run.stdout, run.stderr


def csv_rows(out):
    """Data lines of yex-cli's CSV as float arrays, empty fields as NaN; in x,
    where a line holds the point once, the point is read as point and x."""
    lines = [l for l in out.splitlines() if not l.startswith("#")]
    single = lines[0].split(",")[0] == "x" and lines[0].split(",").count("x") == 1
    rows = np.array([[float(v) if v else math.nan for v in l.split(",")] for l in lines[1:]])
    return np.insert(rows, 1, rows[:, 0], axis=1) if single else rows


@pytest.fixture
def work(tmp_path):
    data = tmp_path / "YEX-data"
    data.mkdir()
    for name in ("H", "C", "N", "O", "P", "S", "Si", "Ar", "Ca", "Fe", "Cu", "U"):
        shutil.copy(SHIPPED / f"{name}.yex", data)
    cwd = os.getcwd()
    os.chdir(tmp_path)
    yield tmp_path
    os.chdir(cwd)


@pytest.mark.parametrize("name", ["H", "O", "Si", "U"])
def test_lookup_is_curve_bit_for_bit(work, name):
    t = yex.read_table(f"YEX-data/{name}.yex")
    rng = np.random.default_rng(7)
    # Enough points that a large array is split among the cores.
    x = np.concatenate([t.x, np.exp(rng.uniform(math.log(0.003), math.log(1500), 200_000))])
    np.savetxt(work / "points.txt", x, fmt="%.17g")
    status, out, _ = cli("curve", name, "--from", "points.txt", cwd=work)
    assert status == 1  # some points lie outside the range
    rows = csv_rows(out)
    f, s = t.lookup(x)
    assert np.array_equal(rows[:, 1], x)
    assert np.array_equal(rows[:, 2], f, equal_nan=True)
    assert np.array_equal(rows[:, 3], s, equal_nan=True)
    assert np.isnan(f).sum() == np.count_nonzero((x < 0.005) | (x > 1000))


@pytest.mark.parametrize(
    "x, shape",
    [(0.3, None), (1, None), (np.float64(0.3), None), ([0.1, 0.3], (2,)),
     (np.full((2, 3), 0.3), (2, 3)), (np.array([0.3], dtype=np.float32), (1,)),
     (np.array([[1, 2]], dtype=np.int32), (1, 2))],
)
def test_shapes_and_dtypes(work, x, shape):
    t = yex.read_table("YEX-data/O.yex")
    f, s = t.lookup(x)
    if shape is None:
        assert isinstance(f, float) and isinstance(s, float)
        fa, sa = t.lookup(np.asarray([float(x)]))
        assert (f, s) == (fa[0], sa[0])
    else:
        assert f.shape == shape and s.shape == shape and f.dtype == np.float64
        assert f.flags.c_contiguous and f.flags.writeable
        flat = np.asarray(x, dtype=np.float64).ravel()
        assert np.array_equal(f.ravel(), t.lookup(flat)[0])
        # F and S share one block: writing one leaves the other.
        before = s.copy()
        f[...] = -1
        assert np.array_equal(s, before)
    assert t.x.shape == (45,) and t.name == "O"
    t.x[0] = 99  # a copy
    assert t.x[0] == 0


@pytest.mark.parametrize(
    "formula", ["Ca5(PO4)3OH", "CuSO4*5H2O", "H2O", "Si0.5O"],
)
def test_compound_saves_what_the_cli_writes(work, formula):
    assert cli("compound", "ByCli", "--formula", formula, cwd=work)[0] == 0
    table = yex.compound(formula, data="YEX-data")
    table.save("YEX-data/ByPy.yex")
    assert (work / "YEX-data/ByPy.yex").read_bytes() == (work / "YEX-data/ByCli.yex").read_bytes()
    # The table in memory is the file's: the same lookups as yex-cli on it.
    rows = csv_rows(cli("curve", "ByCli", "--log-grid", "0.005:1000:2001", cwd=work)[1])
    f, s = table.lookup(rows[:, 0])
    assert np.array_equal(f, rows[:, 2]) and np.array_equal(s, rows[:, 3])


def test_dict_compound_and_mixture_save_what_the_cli_writes(work):
    cli("compound", "Counts", "Ca:5", "P:3", "O:13", "H:1", cwd=work)
    yex.compound({"Ca": 5, "P.yex": 3, "O": 13, "H": 1}).save("YEX-data/CountsPy.yex")
    cli("mixture", "Air", "N:75.52", "O:23.14", "Ar:1.34", cwd=work)
    yex.mixture([("N", 75.52), ("O", 23.14), ("Ar", 1.34)]).save("YEX-data/AirPy.yex")
    cli("mixture", "Blend", "H:11.19:1.008", "O:88.81:15.999", cwd=work)
    yex.mixture([("H", 11.19, 1.008), ("O", 88.81, 15.999)]).save("YEX-data/BlendPy.yex")
    for name in ("Counts", "Air", "Blend"):
        assert (work / f"YEX-data/{name}Py.yex").read_bytes() == (work / f"YEX-data/{name}.yex").read_bytes()
    # A table of the folder is replaced only when asked.
    with pytest.raises(FileExistsError):
        yex.compound("H2O").save("YEX-data/Air.yex")
    yex.compound("H2O", name="Air").save("YEX-data/Air.yex", overwrite=True)
    assert yex.table("Air").f[0] == yex.compound("H2O").f[0]


def test_cross_sections_dcs_and_averages_equal_the_cli(work):
    t = yex.read_table("YEX-data/Cu.yex")
    rows = csv_rows(cli("cross-section", "Cu", "--energy", 8, "--energy", 59.54, cwd=work)[1])
    coh, incoh = yex.cross_section(t, [8, 59.54])
    assert np.array_equal(rows[:, 1], coh) and np.array_equal(rows[:, 2], incoh)
    assert yex.cross_section(t, 8) == (coh[0], incoh[0])
    rows = csv_rows(cli("curve", "Cu", "--unit", "theta", "--energy", 17.48, "--grid", "0.1:180:9.95",
                        "--dcs", cwd=work)[1])
    dcoh, dincoh = yex.dcs(t, rows[:, 0], 17.48)
    assert np.array_equal(rows[:, 4], dcoh, equal_nan=True) and np.array_equal(rows[:, 5], dincoh, equal_nan=True)
    assert np.array_equal(yex.x_from_theta(rows[:, 0], energy_kev=17.48), rows[:, 1])
    rows = csv_rows(cli("average", "--formula", "SiO2", "--unit", "q", "--grid", "0.05:30:0.25", "--energy", 61.3,
                        "--breit-dirac", 2, cwd=work)[1])
    avg = yex.average("SiO2", yex.x_from_q(rows[:, 0]), energy_kev=61.3, breit_dirac=2)
    for column, key in enumerate(["f2_mean", "f_mean_sq", "S_mean", "S_mean_BD"], start=2):
        assert np.array_equal(rows[:, column], avg[key], equal_nan=True), key
    assert set(yex.average({"Si": 1, "O": 2}, 0.3)) == {"f2_mean", "f_mean_sq", "S_mean"}
    assert yex.parse_formula("CuSO4*5H2O") == {"Cu": 1, "S": 1, "O": 9, "H": 10}


@pytest.mark.parametrize(
    "call, error, message",
    [
        (lambda: yex.read_table("YEX-data/Nothing.yex"), FileNotFoundError, "no table YEX-data/Nothing.yex"),
        (lambda: yex.read_table("short.yex"), ValueError, "holds 2 lines"),
        (lambda: yex.read_table("YEX-data"), OSError, "not a file"),
        (lambda: yex.read_table("C.csv.yex"), ValueError, 'C.csv.yex line 1: "x,F,S" is not a table line'),
        (lambda: yex.read_table("/bin/ls"), ValueError, "/bin/ls: it holds more than 65536 bytes"),
        (lambda: yex.compound("H2O").save("YEX-data/CON.yex"), ValueError, "a device of Windows"),
        (lambda: yex.compound("Ca(OH2"), ValueError, "unbalanced \"(\" at position 3"),
        (lambda: yex.compound("H2Xx"), ValueError, "Xx"),
        (lambda: yex.compound({"Missing": 1}), FileNotFoundError, "no table"),
        (lambda: yex.compound(42), TypeError, "composition must be a formula, a dict"),
        (lambda: yex.mixture([("Water", 50)]), ValueError, "give the atomic weight"),
        (lambda: yex.x_from_theta(30, energy_kev=-1), ValueError, "must be positive"),
        (lambda: yex.x_from_theta(30), ValueError, "energy_kev or wavelength"),
        (lambda: yex.dcs(yex.read_table("YEX-data/O.yex"), 30, 0), ValueError, "must be positive"),
        (lambda: yex.cross_section(yex.read_table("YEX-data/O.yex"), [10, -5]), ValueError, "must be positive"),
        (lambda: yex.average("SiO2", 0.3, breit_dirac=2), ValueError, "needs energy_kev"),
        (lambda: yex.read_table("YEX-data/O.yex").lookup("abc"), TypeError, "x must be a number or an array of numbers, not 'abc'"),
        (lambda: yex.read_table("YEX-data/O.yex").lookup([[0.1], "a"]), TypeError, "x must be a number or an array"),
        (lambda: yex.compound("H2O").save("YEX-data/a|b.yex"), ValueError, "cannot be a table name"),
        (lambda: yex.compound("H2O").save("YEX-data/.Hidden.yex"), ValueError, "cannot be a table name"),
        (lambda: yex.compound("H2O").save("nowhere/Water.yex"), OSError, "nowhere"),
        (lambda: yex.compound("H2O").save("YEX-data/Ar.yex", overwrite=True), ValueError, "Ar.yex is a shipped table"),
        (lambda: yex.read_table("YEX-data/O.yex").save("YEX-data/Si.yex"), ValueError, "Si.yex is a shipped table"),
        (lambda: yex.compound({"Si": 1}, name="Fe"), ValueError, "Fe.yex is a shipped table"),
        (lambda: yex.mixture([("H", 1), ("O", 8)], name="Ca"), ValueError, "Ca.yex is a shipped table"),
        (lambda: yex.table("Nothing"), FileNotFoundError, "no table YEX-data/Nothing.yex"),
        (lambda: yex.cross_section(yex.table("O"), 1e-160), ValueError, "O.yex at 1e-160 keV: the energy is too low"),
    ],
)
def test_errors_raise_with_the_message(work, call, error, message):
    (work / "short.yex").write_text("  .000E+00  .10000E+01  .00000E+00\r\n  .500E-02  .10000E+01  .00000E+00\r\n")
    (work / "C.csv.yex").write_text(cli("show", "C", "--csv", cwd=work)[1])
    before = sorted(p.name for p in (work / "YEX-data").iterdir())
    with pytest.raises(error, match=message.replace("(", r"\(").replace("|", r"\|")):
        call()
    assert sorted(p.name for p in (work / "YEX-data").iterdir()) == before


def test_one_table_a_name_whatever_its_case_and_however_raced(work):
    assert np.array_equal(yex.table("fe").f, yex.table("Fe").f)
    with pytest.raises(ValueError, match="fe.yex is a shipped table"):
        yex.compound("H2O").save("YEX-data/fe.yex")
    yex.compound("H2O").save("YEX-data/Water.yex")
    with pytest.raises(FileExistsError):
        yex.compound("H2O2").save("YEX-data/WATER.yex")
    yex.compound("H2O2").save("YEX-data/WATER.yex", overwrite=True)
    assert yex.table("water").f[0] == yex.compound("H2O2").f[0]
    assert "WATER.yex" not in os.listdir("YEX-data")

    def race(name):
        # Two processes save one new name at the same moment.
        go_read, go_write = os.pipe()
        pids = []
        for formula in ("H2O", "H2O2"):
            pid = os.fork()
            if pid == 0:
                os.read(go_read, 1)
                try:
                    yex.compound(formula).save(f"YEX-data/{name}.yex")
                    os._exit(0)
                except FileExistsError:
                    os._exit(1)
            pids.append(pid)
        os.write(go_write, b"go")
        return sorted(os.waitstatus_to_exitcode(os.waitpid(p, 0)[1]) for p in pids)

    assert all(race(f"R{i}") == [0, 1] for i in range(50))


@pytest.mark.parametrize(
    "call, message",
    [
        (lambda: yex.table("O").lookup(None), "x must be a number or an array of numbers, not None"),
        (lambda: yex.table("O").lookup(["0.1", "0.2"]), "x must be a number or an array of numbers, not ['0.1', '0.2']"),
        (lambda: yex.table("O").lookup(True), "x must be"),
        (lambda: yex.cross_section("O", 10), "table must be a yex.Table, not 'O' (str)"),
        (lambda: yex.dcs(yex.table("O"), 30, "10"), "energy_kev must be a number, not '10' (str)"),
        (lambda: yex.average({"Si": "1"}, 0.1), "composition['Si'] must be a number, not '1' (str)"),
        (lambda: yex.average({"Si": 1}, 0.1, energy_kev=None, breit_dirac="2"), "breit_dirac must be 2 or 3"),
        (lambda: yex.average({"Si": 1}, 0.1, wavelength=[1]), "wavelength must be a number"),
        (lambda: yex.compound({"H": None}), "composition['H'] must be a number, not None"),
        (lambda: yex.compound("H2O", name=3), "name must be a string, not 3 (int)"),
        (lambda: yex.compound("H2O", overwrite="yes"), "overwrite must be True or False"),
        (lambda: yex.mixture([("H", "11")]), "H's weight percent must be a number, not '11' (str)"),
        (lambda: yex.mixture(["H"]), "a constituent must be a tuple"),
        (lambda: yex.compound("H2O").save(42), "path must be a string, not 42 (int)"),
        (lambda: yex.table(None), "name must be a string, not None"),
        (lambda: yex.parse_formula(b"H2O"), "formula must be a string"),
        (lambda: yex.x_from_theta(30, energy_kev="8"), "energy_kev must be a number"),
    ],
)
def test_a_wrong_type_is_a_type_error_naming_argument_and_value(work, call, message):
    with pytest.raises(TypeError, match=message.replace("(", r"\(").replace(")", r"\)").replace("[", r"\[").replace("]", r"\]")):
        call()


def test_scale_never_changes_a_number_and_other_tables_say_what_they_count(work):
    for scale in (1e308, 1e-310):
        big = yex.average({"Si": scale, "O": scale}, [0.1, 0.5])
        plain = yex.average({"Si": 1, "O": 1}, [0.1, 0.5])
        assert all(np.array_equal(big[k], plain[k]) for k in plain)
    assert yex.mixture({"H": 1e308, "O": 1e308}).save("YEX-data/Ma.yex") is None
    yex.mixture([("H", 1), ("O", 1)]).save("YEX-data/Mb.yex")
    assert (work / "YEX-data" / "Ma.yex").read_bytes() == (work / "YEX-data" / "Mb.yex").read_bytes()
    assert np.array_equal(yex.mixture({"H": (50, 1.008), "O": 50}).f, yex.mixture([("H", 50, 1.008), ("O", 50)]).f)
    with pytest.raises(ValueError, match="too low to integrate|rows"):
        yex.cross_section(yex.table("O"), 1e-160)
    yex.compound("H2O").save("YEX-data/Wt.yex")
    with pytest.warns(UserWarning, match='"Wt" is no element.s table and counts as one scattering unit'):
        yex.average({"Wt": 1}, 0.1)
    with pytest.warns(UserWarning, match="cross sections are per amount the table describes"):
        yex.cross_section(yex.table("Wt"), 10)


def test_folder_first_infinite_beams_refused_and_the_integral_right(work):
    # The folder's own table goes before the built-in one of its name.
    rows = (SHIPPED / "Fe.yex").read_bytes().replace(b".26000E+02", b".25000E+02", 1)
    (work / "YEX-data" / "Fe.yex").write_bytes(rows)
    assert yex.table("Fe").f[0] == 25.0 and yex.table("Fe", data="elsewhere").f[0] == 26.0
    for kwargs in ({"energy_kev": math.inf}, {"wavelength": math.inf}, {"energy_kev": math.nan}):
        with pytest.raises(ValueError, match="must be positive"):
            yex.x_from_theta(30, **kwargs)
    # sigma_coh = pi r_e^2 int_-1^1 (1 + u^2) F(x)^2 du, x = sqrt((1 - u)/2) / lambda,
    # F log-log between rows and linear in x^2 below row 2, on a fine grid.
    c = yex.table("C")
    for energy in (10.0, 100.0):
        lam = 12.398419843320026 / energy
        u = np.linspace(-1.0, 1.0, 2_000_001)
        x = np.sqrt((1.0 - u) / 2.0) / lam
        i = np.clip(np.searchsorted(c.x, x), 2, 44)
        with np.errstate(divide="ignore", invalid="ignore"):  # x = 0 takes the rule below row 2
            t = np.log(x / c.x[i - 1]) / np.log(c.x[i] / c.x[i - 1])
            f = np.exp(np.log(c.f[i - 1]) + t * np.log(c.f[i] / c.f[i - 1]))
        low = x < c.x[1]
        f[low] = c.f[0] + (c.f[1] - c.f[0]) * (x[low] / c.x[1]) ** 2
        y = (1.0 + u**2) * f**2
        fine = math.pi * 2.8179403262e-13**2 * 1e24 * float(np.sum((y[1:] + y[:-1]) / 2.0) * (u[1] - u[0]))
        assert yex.cross_section(c, energy)[0] == pytest.approx(fine, rel=1e-7)


def test_tables_from_arrays_pickled_copied_and_typed(work, tmp_path):
    import copy
    import pickle
    import pydoc
    import shutil as sh

    water = yex.compound("H2O")
    mine = yex.Table(water.x, water.f, water.s, name="Mine")
    x = np.exp(np.linspace(np.log(0.004), np.log(1100), 5001))
    for other in (mine, pickle.loads(pickle.dumps(mine)), copy.deepcopy(mine), copy.deepcopy(yex.table("U"))):
        assert np.array_equal(np.array(other.lookup(x)), np.array((water if other.name == "Mine" else yex.table("U")).lookup(x)), equal_nan=True)
    assert repr(mine) == "<yex.Table Mine from arrays>" and repr(yex.table("C")) == "<yex.Table C from YEX-data/C.yex>"
    # Kept exactly; saved only as its file would hold it, by asking.
    near = yex.Table(water.x * 1.00001, water.f, water.s)
    assert np.array_equal(near.x, water.x * 1.00001)
    with pytest.raises(ValueError, match=r"row 2: x 0.00500005\d* would be written as 0.005"):
        near.save("YEX-data/Mine.yex")
    near.as_written().save("YEX-data/Mine.yex")
    water.save("YEX-data/Wt.yex")
    assert (work / "YEX-data" / "Mine.yex").read_bytes() == (work / "YEX-data" / "Wt.yex").read_bytes()
    for bad, message in ((dict(x=water.x[:44]), "x, F and S hold 44, 45 and 45"), (dict(s=-water.s), "row 2: S -0.00.* is negative"),
                         (dict(x=np.full(45, 0.5)), "row 1: x is 0.5; a table's x starts at 0"),
                         (dict(x=water.x[:1], f=water.f[:1], s=water.s[:1]), "1 row, a table needs 2")):
        with pytest.raises(ValueError, match=message):
            yex.Table(**{"x": water.x, "f": water.f, "s": water.s, **bad})
    # name= only names; writing is save= (or Table.save).
    assert yex.compound("H2O", name="Wt").name == "Wt"
    yex.compound("H2O2", name="Wt", save="YEX-data/Wt.yex", overwrite=True)
    with pytest.raises(FileExistsError):
        yex.mixture({"H": 50, "O": 50}, save="YEX-data/wt.yex")
    assert np.array_equal(yex.compound([("H", 2), ("O", 1)]).f, water.f)
    # help() lists the class, its methods and their signatures.
    text = pydoc.render_doc(yex, renderer=pydoc.plaintext)
    for expected in ("class Table", "lookup(self", "save(self", "__init__(self", 'x: "Union[Sequence[float]', "table(name",
                     "compound(composition", "overwrite: 'bool' = False"):
        assert expected in text, expected
    # The README's Python and a script of typical use pass mypy --strict on the stub.
    mypy = sh.which("mypy")
    if mypy is None:
        pytest.skip("mypy is not installed")
    readme = (ROOT / "README.md").read_text(encoding="utf-8").split("```python\n")[1:]
    scripts = [tmp_path / f"readme{i}.py" for i in range(len(readme))]
    for path, block in zip(scripts, readme):
        path.write_text(block.split("```")[0])
    run = subprocess.run([mypy, "--strict", "--no-incremental", str(ROOT / "python" / "tests" / "typical_use.py"), *map(str, scripts)],
                         capture_output=True, text=True, env={**os.environ, "MYPYPATH": str(ROOT / "python")})
    assert run.returncode == 0, run.stdout + run.stderr
    # ... and the stub catches a misspelt column and an energy given as text.
    wrong = tmp_path / "wrong.py"
    wrong.write_text('import yex\nw = yex.attenuation("H2O", 8.0)\nprint(w["transmision"])\n'
                     'yex.attenuation("H2O", "8")\nyex.dispersion("Fe", "8")\n')
    run = subprocess.run([mypy, "--strict", "--no-incremental", str(wrong)], capture_output=True, text=True,
                         env={**os.environ, "MYPYPATH": str(ROOT / "python")})
    assert all(f"wrong.py:{n}:" in run.stdout for n in (3, 4, 5)), run.stdout


def resident_kib():
    with open("/proc/self/status") as f:
        return next(int(l.split()[1]) for l in f if l.startswith("VmRSS:"))


def test_no_growth_over_many_calls(work):
    t = yex.read_table("YEX-data/O.yex")
    x = np.linspace(0.01, 10, 100)

    def calls(n):
        for i in range(n):
            t.lookup(0.3)
            t.lookup(x)
            yex.x_from_q(x)
            if i % 100 == 0:
                yex.cross_section(t, 17.48)
                yex.average("SiO2", x)

    calls(10_000)
    before = resident_kib()
    calls(100_000)
    assert resident_kib() - before < 2048


def test_against_the_file_and_closed_forms(work):
    """Numbers from outside the module: the table file itself, x from theta
    and Q by hand, the Thomson and Klein-Nishina formulas, the Breit-Dirac
    factor."""
    t = yex.read_table("YEX-data/Fe.yex")
    rows = (work / "YEX-data" / "Fe.yex").read_text().splitlines()[:45]
    for column, (a, b) in zip((t.x, t.f, t.s), ((0, 10), (10, 22), (22, 34))):
        assert np.array_equal(column, [float(r[a:b]) for r in rows])

    theta = np.array([10.0, 30.0, 90.0, 150.0])
    e, lam = 17.48, 12.398419843320026 / 17.48
    by_hand = np.sin(np.radians(theta) / 2) / lam
    for got in (yex.x_from_theta(theta, wavelength=lam), yex.x_from_theta(theta, energy_kev=e)):
        assert np.allclose(got, by_hand, rtol=1e-14, atol=0)
    assert np.allclose(yex.x_from_theta(theta, wavelength=1.5406), np.sin(np.radians(theta) / 2) / 1.5406,
                       rtol=1e-14, atol=0)
    assert yex.x_from_q(4 * math.pi) == pytest.approx(1.0, rel=1e-15)

    f, s = t.lookup(by_hand)
    cos = np.cos(np.radians(theta))
    p = 1 / (1 + e / 510.99895 * (1 - cos))
    coh = 0.079407877 / 2 * (1 + cos**2) * f**2
    incoh = 0.079407877 / 2 * p**2 * (p + 1 / p - (1 - cos**2)) * s
    dcoh, dincoh = yex.dcs(t, theta, e)
    assert np.allclose(dcoh, coh, rtol=1e-12, atol=0) and np.allclose(dincoh, incoh, rtol=1e-12, atol=0)

    for k in (2, 3):
        avg = yex.average("Fe", by_hand, energy_kev=e, breit_dirac=k)
        assert np.allclose(avg["S_mean_BD"], avg["S_mean"] * p**k, rtol=1e-12, atol=0)
        assert np.array_equal(avg["S_mean"], s)


def test_shipped_tables_need_no_folder(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)  # no YEX-data here
    assert len(yex.tables()) == 98 and yex.tables()[:3] == ["Ac", "Ag", "Al"]
    points = np.geomspace(0.004, 1200, 5001)
    (tmp_path / "points.txt").write_text("\n".join(map(repr, points)))
    rows = csv_rows(cli("--data", SHIPPED, "curve", "Pb", "--from", "points.txt", cwd=tmp_path)[1])
    f, s = yex.table("Pb").lookup(points)
    assert np.array_equal(f, rows[:, 2], equal_nan=True) and np.array_equal(s, rows[:, 3], equal_nan=True)
    water = yex.compound("H2O")
    assert np.array_equal(water.f, yex.compound({"H": 2, "O": 1}).f)
    with pytest.raises(FileNotFoundError, match="no table"):
        yex.table("Nope")


def test_the_packages_own_roads_lead_where_the_core_leads(work):
    import pickle
    import warnings

    # A formula is read case-sensitively; a table name in another case gets a hint.
    assert yex.dispersion("CO", 8.0) != yex.dispersion("Co", 8.0)
    for call, hint in ((lambda: yex.dispersion("co", 8), "write Co"), (lambda: yex.attenuation("fe", 8), "write Fe")):
        with pytest.raises(ValueError, match=hint):
            call()
    with pytest.raises(TypeError, match="energy_kev must be a number"):
        yex.attenuation("H2O", True)
    # The period's warning points at this line, not at the package.
    with warnings.catch_warnings(record=True) as caught:
        warnings.simplefilter("always")
        yex.attenuation("CuSO4.5H2O", 8.0)
        yex.dispersion("CuSO4.5H2O", 8.0)
    assert [w.filename for w in caught] == [__file__] * 2, [str(w.message) for w in caught]
    # Unpickling reads the rows as a file is read; an unpickled table is no element's own.
    fe = yex.table("Fe")
    name, source, built, x, f, s, text = fe.__getstate__()
    for rows, why in ((text[:1] + [text[2], text[1]] + text[3:], "x must ascend"),
                      ([text[0].replace(b" .26000E+02", b"-.26000E+02")] + text[1:], "negative")):
        with pytest.raises(ValueError, match=why):
            yex.Table.__new__(yex.Table).__setstate__((name, source, False, x, f, s, rows))
    with pytest.raises(ValueError, match="shipped table"):
        pickle.loads(pickle.dumps(fe)).save("YEX-data/Fe.yex", overwrite=True)
    fe.save("YEX-data/Fe.yex", overwrite=True)  # an element's own table goes back under its name
    # A table the folder holds as something else is refused, not replaced by the built-in one.
    os.mkdir("YEX-data/Zn.yex")
    os.symlink("nowhere.yex", "YEX-data/Ni.yex")
    for table, error in (("Zn", OSError), ("Ni", FileNotFoundError)):
        with pytest.raises(error):
            yex.table(table)

    # An array-like that changes between readings is read once.
    class Growing:
        n = 0

        def __array__(self, dtype=None, copy=None):
            Growing.n += 1000
            return np.full(Growing.n, 8.0)

    photo = yex.attenuation("H2O", Growing())["photo"]
    fp, _ = yex.dispersion("Fe", Growing())
    assert photo.shape == (1000,) and fp.shape == (2000,)
