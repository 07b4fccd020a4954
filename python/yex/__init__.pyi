# The package yex as type checkers see it: the signatures of yex/__init__.py
# (its help is there, written once); a test holds the two together.
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
    def __init__(self, x: Union[Points, Array], f: Union[Points, Array], s: Union[Points, Array], *, name: str = "table") -> None: ...
    @property
    def name(self) -> str: ...
    @property
    def source(self) -> str: ...
    @property
    def x(self) -> Array: ...
    @property
    def f(self) -> Array: ...
    @property
    def s(self) -> Array: ...
    @overload
    def lookup(self, x: float) -> Tuple[float, float]: ...
    @overload
    def lookup(self, x: Union[Points, Array]) -> Tuple[Array, Array]: ...
    def as_written(self) -> "Table": ...
    def save(self, path: str, *, overwrite: bool = False) -> None: ...

def table(name: str, *, data: str = "YEX-data") -> Table: ...

def tables(*, data: str = "YEX-data") -> List[str]: ...

def read_csv_table(path: str, *, name: Optional[str] = None) -> Table: ...

def read_table(path: str) -> Table: ...

@overload
def x_from_q(q: float) -> float: ...
@overload
def x_from_q(q: Union[Points, Array]) -> Array: ...

@overload
def x_from_theta(theta: float, *, energy_kev: Optional[float] = None, wavelength: Optional[float] = None) -> float: ...
@overload
def x_from_theta(
    theta: Union[Points, Array], *, energy_kev: Optional[float] = None, wavelength: Optional[float] = None
) -> Array: ...

def compound(
    composition: Composition,
    *,
    data: str = "YEX-data",
    name: Optional[str] = None,
    save: Optional[str] = None,
    overwrite: bool = False,
) -> Table: ...

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
) -> Table: ...

@overload
def cross_section(table: Table, energy_kev: float) -> Tuple[float, float]: ...
@overload
def cross_section(table: Table, energy_kev: Union[Points, Array]) -> Tuple[Array, Array]: ...

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
) -> ArrayAttenuation: ...

@overload
def dispersion(name_or_formula: str, energy_kev: float) -> Tuple[float, float]: ...
@overload
def dispersion(name_or_formula: str, energy_kev: Union[Points, Array]) -> Tuple[Array, Array]: ...

@overload
def dcs(table: Table, theta: float, energy_kev: float) -> Tuple[float, float]: ...
@overload
def dcs(table: Table, theta: Union[Points, Array], energy_kev: float) -> Tuple[Array, Array]: ...

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
) -> ArrayAverages: ...

def parse_formula(formula: str) -> Dict[str, float]: ...

def edges(symbol: str) -> List[Dict[str, Any]]: ...
def lines(symbol: str, edge: Optional[str] = ...) -> List[Dict[str, Any]]: ...
def line_energy(symbol: str, line: str) -> float: ...
def edge_energy(symbol: str, edge: str) -> float: ...

class Material:
    @property
    def name(self) -> str: ...
    @property
    def formula(self) -> str: ...
    @property
    def density(self) -> float: ...

def materials(data: str = ...) -> List[Dict[str, Any]]: ...
def material(name: str, data: str = ...) -> Material: ...
def index(
    material: Union[str, Material, MixtureByWeight],
    energy_kev: Union[float, Points, Array],
    *,
    density: Optional[float] = ...,
    data: str = ...,
) -> Dict[str, Any]: ...
def reflectivity(
    material: Union[str, Material, MixtureByWeight],
    energy_kev: float,
    angle_mrad: Union[float, Points, Array],
    *,
    density: Optional[float] = ...,
    roughness: float = ...,
    polarization: str = ...,
    data: str = ...,
) -> Any: ...
