"""YEX: atomic form factors F(x) and incoherent scattering functions S(x).

The 98 shipped element tables are built in; a `data=` folder, when given
(default "YEX-data"), is searched first.

Conventions: x = sin(theta/2)/lambda in 1/Angstrom (the tables' abscissa);
Q = 4*pi*x in 1/Angstrom; theta is the scattering angle in degrees (what
diffraction calls 2-theta); lambda = 12.398419843320026 / E[keV] Angstrom.
Lookups are the main window's: log-log interpolation between rows, defined
for x in 0.005..1000 (NaN outside). Values are per atom for an element's
table, per amount the table describes for another (a formula unit, or a
mixture's quantity holding one atom of its first constituent); cross
sections in barn, differential ones in barn/sr. The same C++ as the YEX
windows and yex-cli.

Errors: FileNotFoundError (no such table), FileExistsError (a table of that
name is there: pass overwrite=True), OSError, ValueError (a wrong value, with
yex-cli's message) and TypeError (an argument of the wrong type, named with
its value).
"""
from __future__ import annotations

from typing import TYPE_CHECKING, Any, Dict, List, Optional, Sequence, Tuple, TypedDict, Union

if TYPE_CHECKING:
    import numpy as np

from . import _yex
from ._yex import Material, Table, __version__

__all__ = [
    "Table", "Attenuation", "table", "tables", "read_table", "read_csv_table", "compound", "mixture", "cross_section", "attenuation", "dispersion", "dcs", "average",
    "x_from_q", "x_from_theta", "parse_formula", "edges", "lines", "line_energy", "edge_energy", "Material",
    "materials", "material", "index", "reflectivity", "__version__",
]

# The class as this package presents it: its own module, and methods whose
# signatures help() and editors can read.
Table.__module__ = __name__
_table_init, _table_lookup, _table_save = Table.__init__, Table.lookup, Table.save


def _init(self: Table, x: Union[Sequence[float], "np.ndarray[Any, Any]"], f: Union[Sequence[float], "np.ndarray[Any, Any]"], s: Union[Sequence[float], "np.ndarray[Any, Any]"], *, name: str = "table") -> None:
    """A table from values of x (1/Angstrom, 0 first, ascending), F and S
    (finite, not negative): any number of rows from 2, kept exactly. ValueError
    naming the row when they make no table. save() writes only a table a file
    can hold (45 rows, x to 3 significant digits, F and S to 5): as_written()
    gives that rounding."""
    _table_init(self, x, f, s, name=name)


def _lookup(self: Table, x: Union[float, Sequence[float], "np.ndarray[Any, Any]"]) -> Tuple[Any, Any]:
    """(F, S) at x = sin(theta/2)/lambda in 1/Angstrom: a float or any array-like
    (same shape back). Bit for bit the main window's lookup; NaN outside
    0.005..1000 or where the table cannot be interpolated. Runs without the
    GIL; an array of 65536 points or more is shared among the processor's cores.
    F and S are the two halves of one array (each contiguous and writable)."""
    return _table_lookup(self, x)  # type: ignore[no-any-return]


def _save(self: Table, path: str, *, overwrite: bool = False) -> None:
    """Writes the table to `path` (NAME.yex) in the YEX format, atomically
    (nothing is half-written); byte-identical to the file the editors and
    yex-cli write. ValueError for a table no file can hold unchanged (not 45
    rows, or values beyond the format's digits: see as_written()). Names are compared without case: FileExistsError when a
    table of that name is there (even one created a moment before) unless
    overwrite=True, which replaces that file; a compound, mixture or table
    from arrays never takes an element's name, nor one Windows cannot store
    (ValueError)."""
    _table_save(self, path, overwrite=overwrite)


_init.__name__, _lookup.__name__, _save.__name__ = "__init__", "lookup", "save"
Table.__init__, Table.lookup, Table.save = _init, _lookup, _save  # type: ignore[method-assign]

Composition = Union[str, Dict[str, float], Sequence[Tuple[str, float]]]
# An average may also take yex.Table objects themselves (tables on any grid).
AverageComposition = Union[str, Dict[Union[str, Table], float], Sequence[Tuple[Union[str, Table], float]]]


def table(name: str, *, data: str = "YEX-data") -> Table:
    """The table `name` ('Fe', 'fe', 'Water.yex'; names compared without case):
    from the folder `data` when it holds it, else one of the 98 shipped element
    tables built in. FileNotFoundError when there is none; ValueError for a
    file that is not a well-formed table (naming its line)."""
    return _yex.table(name, data=data)


def tables(*, data: str = "YEX-data") -> List[str]:
    """The names of the tables `table` finds: the folder's and the shipped ones."""
    return _yex.tables(data=data)  # type: ignore[no-any-return]


def read_table(path: str) -> Table:
    """Reads a table file strictly: 45 lines of three numbers in the format's
    columns, finite, x ascending, F and S not negative. FileNotFoundError when
    missing, ValueError naming the line and the reason otherwise, OSError when
    it cannot be read."""
    return _yex.read_table(path)


def read_csv_table(path: str, *, name: Optional[str] = None) -> Table:
    """A table from a CSV file of x,F,S: one row a line (commas or tabs), a
    header line and # lines allowed, as `yex-cli show --csv` and `curve` write.
    Any number of rows from 2, x from 0 ascending, values kept exactly; named
    `name`, else the file's name without its extension. ValueError naming the
    line, FileNotFoundError when missing."""
    return _yex.read_csv_table(path, name=name)


def compound(
    composition: Composition,
    *,
    data: str = "YEX-data",
    name: Optional[str] = None,
    save: Optional[str] = None,
    overwrite: bool = False,
) -> Table:
    """The compound editor's table for one formula unit, as its file holds it:
    F = sqrt(sum n F^2), S = sum n S. `composition` is a formula ('Ca5(PO4)3OH',
    'CuSO4*5H2O') whose symbols name element tables, a dict {table: atoms} or a
    list of (table, atoms); the tables must share one x column. Tables come from
    the folder `data`, else the shipped ones built in. `name` only names the
    table (an element's name is refused); `save=PATH` also writes it, as
    Table.save does (FileExistsError unless overwrite=True). A hydrate written
    with a period ('CuSO4.5H2O' reads O4.5) gives a UserWarning."""
    return _yex.compound(composition, data=data, name=name, save=save, overwrite=overwrite)


def mixture(
    constituents: Union[Sequence[Tuple[Any, ...]], Dict[str, Any]],
    *,
    data: str = "YEX-data",
    name: Optional[str] = None,
    save: Optional[str] = None,
    overwrite: bool = False,
) -> Table:
    """The mixture editor's table: constituents [(table, weight percent[, atomic
    weight]), ...] or {table: percent} / {table: (percent, atomic weight)}, the
    atomic weight built in for element tables; per amount holding one atom of
    the first constituent. Weights must be positive; `name`, `save` and
    `overwrite` as for compound."""
    return _yex.mixture(constituents, data=data, name=name, save=save, overwrite=overwrite)


def cross_section(table: Table, energy_kev: Union[float, Sequence[float], "np.ndarray[Any, Any]"]) -> Tuple[Any, Any]:
    """(sigma_coh, sigma_incoh) in barn, per atom of an element's table (per
    amount the table describes for another; a UserWarning says so), at the
    photon energy in keV (a float or an array): 2 pi times the integral over
    cos(theta) of the differential cross sections (see dcs), the table
    interpolated as the lookup does (linear in x^2 below row 2). ValueError for
    an energy that is not positive or a table that cannot be integrated (naming
    its rows)."""
    return _yex.cross_section(table, energy_kev)  # type: ignore[no-any-return]


class Attenuation(TypedDict, total=False):
    """attenuation's columns: floats for one energy, arrays for many."""

    photo: Any
    coh: Any
    incoh: Any
    total: Any
    mu_per_cm: Any
    length_cm: Any
    transmission: Any


MixtureByWeight = Union[
    Dict[str, Union[float, Tuple[float, float]]],
    Sequence[Union[Tuple[str, float], Tuple[str, float, float]]],
]


def attenuation(
    material: Union[str, "Material", MixtureByWeight],
    energy_kev: Union[float, Sequence[float], "np.ndarray[Any, Any]"],
    *,
    density: Optional[float] = None,
    thickness: Optional[float] = None,
    data: str = "YEX-data",
) -> Attenuation:
    """How much a material attenuates at the photon energy in keV (a float or an
    array), in cm2/g: 'photo' (photoabsorption from Chantler's tables, public
    domain), 'coh' and 'incoh' (YEX's own cross sections of the element tables,
    as cross_section gives them per gram) and 'total'; with density (g/cm3)
    also 'mu_per_cm' and 'length_cm', with thickness (cm) 'transmission'.
    material: a formula, read case-sensitively as everywhere a formula is read
    ('Fe', 'H2O'; 'CO' is carbon monoxide, 'Co' cobalt; 'fe' is refused with a
    hint), or a mixture by weight of elements ({"H": 11.19, "O": 88.81}, or
    {table: (percent, atomic weight)}; tables named in any case), by the
    mixture rule (mass fractions times each element's values). A hydrate
    written with a period ('CuSO4.5H2O', read as O4.5) gives a UserWarning:
    write 'CuSO4*5H2O'. ValueError for an energy outside Chantler's tables or
    an element without data."""
    return _yex.attenuation(  # type: ignore[no-any-return]
        material, energy_kev, density=density, thickness=thickness, data=data
    )


def dispersion(name_or_formula: str, energy_kev: Union[float, Sequence[float], "np.ndarray[Any, Any]"]) -> Tuple[Any, Any]:
    """(f', f'') in electrons at the photon energy in keV (a float or an array),
    from Chantler's tables (Z = 1-92, public domain), of one formula unit of a
    formula, the sum over its atoms. The formula is read case-sensitively, as
    everywhere a formula is read: an element's symbol is a one-atom formula
    ('Co' is cobalt, 'CO' carbon monoxide; 'co' is refused with a hint). A
    hydrate written with a period gives a UserWarning. The tabulated values at
    a tabulated energy; between two, f'' log-log linear and f' linear in log E,
    never across an absorption edge. ValueError for an energy outside the
    tables or an element without data."""
    return _yex.dispersion(name_or_formula, energy_kev)  # type: ignore[no-any-return]


def dcs(table: Table, theta: Union[float, Sequence[float], "np.ndarray[Any, Any]"], energy_kev: float) -> Tuple[Any, Any]:
    """(dsigma_coh/dOmega, dsigma_incoh/dOmega) in barn/sr at the scattering angle
    theta (degrees): (r_e^2/2)(1 + cos^2 theta) F^2 and (r_e^2/2) P^2 (P + 1/P -
    sin^2 theta) S with P = 1/(1 + (E/m c^2)(1 - cos theta)). NaN where x is out
    of the lookup's range."""
    return _yex.dcs(table, theta, energy_kev)  # type: ignore[no-any-return]


def average(
    composition: AverageComposition,
    x: Union[float, Sequence[float], "np.ndarray[Any, Any]"],
    *,
    energy_kev: Optional[float] = None,
    wavelength: Optional[float] = None,
    breit_dirac: Optional[int] = None,
    data: str = "YEX-data",
    anomalous: bool = False,
) -> Dict[str, Any]:
    """Composition averages per atom for total scattering at x (1/Angstrom), from
    the element tables: f2_mean = sum c F^2, f_mean_sq = (sum c F)^2, S_mean =
    sum c S with c = n / sum n, and with breit_dirac K (2 or 3) and energy_kev
    (or wavelength in Angstrom), S_mean_BD = S_mean * P^K. With anomalous=True
    (and an energy or wavelength) each element's f = F + f' + i f'' from
    Chantler's tables: f2_mean = sum c |f|^2, f_mean_sq = |sum c f|^2. NaN where
    x is out of range. A table that is no element's counts as one scattering
    unit (a UserWarning says so); a yex.Table may stand in for a name, a table
    on any grid among them; a formula is read case-sensitively, and a
    hydrate written with a period ('CuSO4.5H2O') gives a UserWarning."""
    return _yex.average(  # type: ignore[no-any-return]
        composition,
        x,
        energy_kev=energy_kev,
        wavelength=wavelength,
        breit_dirac=breit_dirac,
        data=data,
        anomalous=anomalous,
    )


def x_from_q(q: Union[float, Sequence[float], "np.ndarray[Any, Any]"]) -> Any:
    """x = Q / (4 pi); Q in 1/Angstrom."""
    return _yex.x_from_q(q)


def x_from_theta(theta: Union[float, Sequence[float], "np.ndarray[Any, Any]"], *, energy_kev: Optional[float] = None, wavelength: Optional[float] = None) -> Any:
    """x = sin(theta/2)/lambda for the scattering angle theta in degrees, with
    energy_kev (lambda = 12.398419843320026 / E) or wavelength in Angstrom. NaN
    in an array for an angle outside 0..180; ValueError for one alone."""
    return _yex.x_from_theta(theta, energy_kev=energy_kev, wavelength=wavelength)


def parse_formula(formula: str) -> Dict[str, float]:
    """Atoms of each element in a formula: 'CuSO4*5H2O' -> {'Cu': 1, 'S': 1, 'O': 9,
    'H': 10} (whole counts as int). Read case-sensitively ('CO' is C and O);
    a hydrate written with a period ('CuSO4.5H2O') gives a UserWarning."""
    return _yex.parse_formula(formula)  # type: ignore[no-any-return]


Material.__module__ = __name__


def edges(symbol: str) -> List[Dict[str, Any]]:
    """The absorption edges of an element (its symbol, case-sensitive): dicts of
    edge, energy_kev, fluorescence_yield and jump_ratio, from Elam, Ravel and
    Sieber's tables (public domain, as XrayDB holds them), as yex-cli edges."""
    return _yex.edges(symbol)  # type: ignore[no-any-return]


def lines(symbol: str, edge: Optional[str] = None) -> List[Dict[str, Any]]:
    """The emission lines of an element (those from one level with edge='K'):
    dicts of line (Siegbahn's name), iupac, energy_kev, intensity (relative to
    the other lines of its initial level), initial and final, as yex-cli lines."""
    return _yex.lines(symbol, edge)  # type: ignore[no-any-return]


def line_energy(symbol: str, line: str) -> float:
    """The energy in keV of an emission line: line_energy('Cu', 'Ka1') (or its
    IUPAC name, 'K-L3'); ValueError naming the lines there are."""
    return _yex.line_energy(symbol, line)  # type: ignore[no-any-return]


def edge_energy(symbol: str, edge: str) -> float:
    """The energy in keV of an absorption edge: edge_energy('Fe', 'K')."""
    return _yex.edge_energy(symbol, edge)  # type: ignore[no-any-return]


def materials(data: str = "YEX-data") -> List[Dict[str, Any]]:
    """The materials yex.material finds: the data folder's materials.txt first
    (NAME | FORMULA | DENSITY a line, read strictly), then the built-in list;
    dicts of name, formula and density (g/cm3)."""
    return _yex.materials(data)  # type: ignore[no-any-return]


def material(name: str, data: str = "YEX-data") -> Material:
    """The listed material of that name, in any case ('Kapton', 'water'), for
    index and reflectivity; ValueError naming names near it where there is none."""
    return _yex.material(name, data)


def index(
    material: Union[str, Material, MixtureByWeight],
    energy_kev: Union[float, Sequence[float], "np.ndarray[Any, Any]"],
    *,
    density: Optional[float] = None,
    data: str = "YEX-data",
) -> Dict[str, Any]:
    """The refractive index n = 1 - delta + i beta at the photon energy in keV (a
    float or an array), as yex-cli index: a dict of delta, beta,
    critical_angle_mrad (sqrt(2 delta)) and length_cm (1/mu, as attenuation
    gives it). material: yex.material('kapton') (its density
    unless one is given), an element's symbol (the one listed material of it
    gives the density: 'Si'), a formula with density=, or a mixture by weight."""
    return _yex.index(material, energy_kev, density=density, data=data)  # type: ignore[no-any-return]


def reflectivity(
    material: Union[str, Material, MixtureByWeight],
    energy_kev: float,
    angle_mrad: Union[float, Sequence[float], "np.ndarray[Any, Any]"],
    *,
    density: Optional[float] = None,
    roughness: float = 0.0,
    polarization: str = "s",
    data: str = "YEX-data",
) -> Any:
    """The reflectivity of a flat surface of the material from vacuum at grazing
    angles in mrad (a float or an array), by Fresnel's formula with n from
    index, as yex-cli reflectivity: roughness an rms roughness in Angstrom
    (Nevot-Croce), polarization 's' (the default), 'p' or 'unpolarized'.
    material as for index."""
    return _yex.reflectivity(
        material, energy_kev, angle_mrad, density=density, roughness=roughness, polarization=polarization, data=data
    )
