"""YEX: atomic form factors F(x) and incoherent scattering functions S(x).

x = sin(theta/2)/lambda in 1/Angstrom; Q = 4*pi*x; theta in degrees (0..180);
lambda = 12.398419843320026 / E[keV] Angstrom. Cross sections in barn."""
from typing import Dict, List, Optional, Sequence, Tuple, Union, overload

import numpy as np
import numpy.typing as npt

__version__: str

ArrayLike = npt.ArrayLike
Composition = Union[str, Dict[str, float]]

class Table:
    """A 45-row table of x (1/Angstrom), F(x) and S(x)."""
    @property
    def name(self) -> str:
        """The table's name, without .yex."""
    @property
    def x(self) -> npt.NDArray[np.float64]:
        """x of the 45 rows, 1/Angstrom (a copy)."""
    @property
    def f(self) -> npt.NDArray[np.float64]:
        """F of the 45 rows (a copy)."""
    @property
    def s(self) -> npt.NDArray[np.float64]:
        """S of the 45 rows (a copy)."""
    @overload
    def lookup(self, x: float) -> Tuple[float, float]: ...
    @overload
    def lookup(self, x: ArrayLike) -> Tuple[npt.NDArray[np.float64], npt.NDArray[np.float64]]:
        """(F, S) at x in 1/Angstrom, bit for bit the main window's lookup; NaN
        outside 0.005..1000. F and S are the two halves of one array (each
        contiguous and writable on its own)."""
    def save(self, path: str, *, overwrite: bool = False) -> None:
        """Writes the table in the YEX format, atomically; FileExistsError for
        a file that is there unless overwrite=True."""

def table(name: str, *, data: str = "YEX-data") -> Table:
    """The table `name` ('Fe', 'Water.yex'): from the folder `data` when it
    holds it, else one of the 98 shipped element tables built in."""

def tables(*, data: str = "YEX-data") -> List[str]:
    """The names of the tables `table` finds."""

def read_table(path: str) -> Table:
    """Reads a table file: FileNotFoundError, ValueError (not a table) or OSError."""

def x_from_q(q: ArrayLike) -> Union[float, npt.NDArray[np.float64]]:
    """x = Q / (4 pi); Q in 1/Angstrom."""

def x_from_theta(
    theta: ArrayLike, *, energy_kev: Optional[float] = None, wavelength: Optional[float] = None
) -> Union[float, npt.NDArray[np.float64]]:
    """x = sin(theta/2)/lambda, theta in degrees (0..180: NaN beyond in an
    array, ValueError alone)."""

def compound(
    composition: Composition, *, data: str = "YEX-data", name: Optional[str] = None, overwrite: bool = False
) -> Table:
    """The compound editor's table for one formula unit, as its file holds it:
    F = sqrt(sum n F^2), S = sum n S. A formula ('Ca5(PO4)3OH', 'CuSO4*5H2O')
    or {table: atoms}."""

def mixture(
    constituents: Union[
        Sequence[Union[Tuple[str, float], Tuple[str, float, float]]],
        Dict[str, Union[float, Tuple[float, float]]],
    ],
    *,
    data: str = "YEX-data",
    name: Optional[str] = None,
    overwrite: bool = False,
) -> Table:
    """The mixture editor's table from (table, weight percent[, atomic weight])."""

def cross_section(table: Table, energy_kev: ArrayLike) -> Tuple[ArrayLike, ArrayLike]:
    """(sigma_coh, sigma_incoh) in barn per atom of an element's table, per amount
    the table describes for another, at the photon energy in keV."""

def dcs(table: Table, theta: ArrayLike, energy_kev: float) -> Tuple[ArrayLike, ArrayLike]:
    """(dsigma_coh/dOmega, dsigma_incoh/dOmega) in barn/sr at theta in degrees."""

def average(
    composition: Composition,
    x: ArrayLike,
    *,
    energy_kev: Optional[float] = None,
    wavelength: Optional[float] = None,
    breit_dirac: Optional[int] = None,
    data: str = "YEX-data",
) -> Dict[str, Union[float, npt.NDArray[np.float64]]]:
    """f2_mean, f_mean_sq, S_mean (and S_mean_BD) per atom at x."""

def parse_formula(formula: str) -> Dict[str, Union[int, float]]:
    """Atoms of each element in a formula."""
