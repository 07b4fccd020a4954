"""YEX: atomic form factors F(x) and incoherent scattering functions S(x).

x = sin(theta/2)/lambda in 1/Angstrom; Q = 4*pi*x; theta in degrees (0..180);
lambda = 12.398419843320026 / E[keV] Angstrom. Cross sections in barn, per
atom of an element's table, per amount the table describes for another."""
from typing import Any, Dict, List, Optional, Sequence, Tuple, TypedDict, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

Array = npt.NDArray[np.float64]
# A float gives floats back; an array-like (list, tuple, ndarray) gives arrays.
Points = Union[Sequence[float], Sequence[Sequence[float]], npt.NDArray[np.floating[npt.NBitBase]], npt.NDArray[np.integer[npt.NBitBase]]]
Composition = Union[str, Dict[str, float], Sequence[Tuple[str, float]]]
# An average may also take yex.Table objects themselves (tables on any grid).
AverageComposition = Union[str, Dict[Union[str, Table], float], Sequence[Tuple[Union[str, Table], float]]]

class Table:
    """A table of x (1/Angstrom), F(x) and S(x): a file's 45 rows, or any grid."""
    def __init__(self, x: Union[Points, Array], f: Union[Points, Array], s: Union[Points, Array], *, name: str = "table") -> None:
        """A table from values of x (0 first, ascending), F and S (finite, not
        negative), any number of rows from 2, kept exactly; ValueError naming the row."""
    @property
    def name(self) -> str:
        """The table's name, without .yex."""
    @property
    def source(self) -> str:
        """Its file, 'built in', 'compound FORMULA', 'mixture' or 'arrays'."""
    @property
    def x(self) -> Array:
        """x of the rows, 1/Angstrom (a copy)."""
    @property
    def f(self) -> Array:
        """F of the rows (a copy)."""
    @property
    def s(self) -> Array:
        """S of the rows (a copy)."""
    @overload
    def lookup(self, x: float) -> Tuple[float, float]: ...
    @overload
    def lookup(self, x: Union[Points, Array]) -> Tuple[Array, Array]:
        """(F, S) at x in 1/Angstrom, bit for bit the main window's lookup; NaN
        outside 0.005..1000. F and S are the two halves of one array (each
        contiguous and writable on its own)."""
    def as_written(self) -> "Table":
        """The table as its file would hold it (x to 3 digits, F and S to 5); 45 rows only."""
    def save(self, path: str, *, overwrite: bool = False) -> None:
        """Writes the table in the YEX format, atomically; FileExistsError for
        a table of that name (in any case) unless overwrite=True; ValueError for a
        table no file holds unchanged (see as_written)."""

def table(name: str, *, data: str = "YEX-data") -> Table:
    """The table `name` ('Fe', 'fe', 'Water.yex'): from the folder `data` when
    it holds it, else one of the 98 shipped element tables built in."""

def tables(*, data: str = "YEX-data") -> List[str]:
    """The names of the tables `table` finds."""

def read_csv_table(path: str, *, name: Optional[str] = None) -> Table:
    """A table from a CSV file of x,F,S, any number of rows from 2, kept exactly."""

def read_table(path: str) -> Table:
    """Reads a table file strictly: FileNotFoundError, ValueError (naming the
    line) or OSError."""

@overload
def x_from_q(q: float) -> float: ...
@overload
def x_from_q(q: Union[Points, Array]) -> Array:
    """x = Q / (4 pi); Q in 1/Angstrom."""

@overload
def x_from_theta(theta: float, *, energy_kev: Optional[float] = None, wavelength: Optional[float] = None) -> float: ...
@overload
def x_from_theta(
    theta: Union[Points, Array], *, energy_kev: Optional[float] = None, wavelength: Optional[float] = None
) -> Array:
    """x = sin(theta/2)/lambda, theta in degrees (0..180: NaN beyond in an
    array, ValueError alone)."""

def compound(
    composition: Composition,
    *,
    data: str = "YEX-data",
    name: Optional[str] = None,
    save: Optional[str] = None,
    overwrite: bool = False,
) -> Table:
    """The compound editor's table for one formula unit, as its file holds it:
    F = sqrt(sum n F^2), S = sum n S. `name` only names; `save=PATH` writes."""

def mixture(
    constituents: Union[
        Sequence[Union[Tuple[str, float], Tuple[str, float, float]]],
        Dict[str, Union[float, Tuple[float, float]]],
    ],
    *,
    data: str = "YEX-data",
    name: Optional[str] = None,
    save: Optional[str] = None,
    overwrite: bool = False,
) -> Table:
    """The mixture editor's table from (table, weight percent[, atomic weight])."""

@overload
def cross_section(table: Table, energy_kev: float) -> Tuple[float, float]: ...
@overload
def cross_section(table: Table, energy_kev: Union[Points, Array]) -> Tuple[Array, Array]:
    """(sigma_coh, sigma_incoh) in barn per atom of an element's table, per
    amount the table describes for another, at the photon energy in keV."""

# A mixture by weight: {table: percent} or {table: (percent, atomic weight)},
# or a list of (table, percent[, atomic weight]).
MixtureByWeight = Union[
    Dict[str, Union[float, Tuple[float, float]]],
    Sequence[Union[Tuple[str, float], Tuple[str, float, float]]],
]

class Attenuation(TypedDict, total=False):
    photo: float
    coh: float
    incoh: float
    total: float
    mu_per_cm: float
    length_cm: float
    transmission: float

class ArrayAttenuation(TypedDict, total=False):
    photo: Array
    coh: Array
    incoh: Array
    total: Array
    mu_per_cm: Array
    length_cm: Array
    transmission: Array

@overload
def attenuation(
    material: Union[str, "Material", MixtureByWeight],
    energy_kev: float,
    *,
    density: Optional[float] = ...,
    thickness: Optional[float] = ...,
    data: str = ...,
) -> Attenuation: ...
@overload
def attenuation(
    material: Union[str, "Material", MixtureByWeight],
    energy_kev: Union[Points, Array],
    *,
    density: Optional[float] = ...,
    thickness: Optional[float] = ...,
    data: str = ...,
) -> ArrayAttenuation:
    """photo, coh, incoh and total cm2/g (and mu_per_cm, length_cm,
    transmission with a density and thickness) at the energy in keV; a string
    is a formula, read case-sensitively ('CO' carbon monoxide, 'Co' cobalt)."""

@overload
def dispersion(name_or_formula: str, energy_kev: float) -> Tuple[float, float]: ...
@overload
def dispersion(name_or_formula: str, energy_kev: Union[Points, Array]) -> Tuple[Array, Array]:
    """(f', f'') in electrons of one formula unit at the photon energy in keV,
    from Chantler's tables (Z = 1-92); the formula is read case-sensitively
    ('CO' carbon monoxide, 'Co' cobalt)."""

@overload
def dcs(table: Table, theta: float, energy_kev: float) -> Tuple[float, float]: ...
@overload
def dcs(table: Table, theta: Union[Points, Array], energy_kev: float) -> Tuple[Array, Array]:
    """(dsigma_coh/dOmega, dsigma_incoh/dOmega) in barn/sr at theta in degrees."""

class Averages(TypedDict, total=False):
    f2_mean: float
    f_mean_sq: float
    S_mean: float
    S_mean_BD: float

class ArrayAverages(TypedDict, total=False):
    f2_mean: Array
    f_mean_sq: Array
    S_mean: Array
    S_mean_BD: Array

@overload
def average(
    composition: AverageComposition,
    x: float,
    *,
    energy_kev: Optional[float] = None,
    wavelength: Optional[float] = None,
    breit_dirac: Optional[int] = None,
    data: str = "YEX-data",
    anomalous: bool = False,
) -> Averages: ...
@overload
def average(
    composition: AverageComposition,
    x: Union[Points, Array],
    *,
    energy_kev: Optional[float] = None,
    wavelength: Optional[float] = None,
    breit_dirac: Optional[int] = None,
    data: str = "YEX-data",
    anomalous: bool = False,
) -> ArrayAverages:
    """f2_mean, f_mean_sq, S_mean (and S_mean_BD with breit_dirac) per atom at x."""

def parse_formula(formula: str) -> Dict[str, float]:
    """Atoms of each element in a formula (whole counts come as int)."""

def edges(symbol: str) -> List[Dict[str, Any]]:
    """Absorption edges: dicts of edge, energy_kev, fluorescence_yield, jump_ratio."""
def lines(symbol: str, edge: Optional[str] = ...) -> List[Dict[str, Any]]:
    """Emission lines: dicts of line, iupac, energy_kev, intensity, initial, final."""
def line_energy(symbol: str, line: str) -> float:
    """The energy in keV of an emission line ('Cu', 'Ka1')."""
def edge_energy(symbol: str, edge: str) -> float:
    """The energy in keV of an absorption edge ('Fe', 'K')."""

class Material:
    """A listed material: name, formula and density (g/cm3)."""
    @property
    def name(self) -> str: ...
    @property
    def formula(self) -> str: ...
    @property
    def density(self) -> float: ...

def materials(data: str = ...) -> List[Dict[str, Any]]:
    """The data folder's materials.txt, then the built-in list."""
def material(name: str, data: str = ...) -> Material:
    """The listed material of that name, in any case."""
def index(
    material: Union[str, Material, MixtureByWeight],
    energy_kev: Union[float, Points, Array],
    *,
    density: Optional[float] = ...,
    data: str = ...,
) -> Dict[str, Any]:
    """delta, beta, critical_angle_mrad and length_cm at the energy in keV."""
def reflectivity(
    material: Union[str, Material, MixtureByWeight],
    energy_kev: float,
    angle_mrad: Union[float, Points, Array],
    *,
    density: Optional[float] = ...,
    roughness: float = ...,
    polarization: str = ...,
    data: str = ...,
) -> Any:
    """Fresnel's reflectivity at grazing angles in mrad."""
