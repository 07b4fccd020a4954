"""YEX: atomic form factors F(x) and incoherent scattering functions S(x).

The 98 shipped element tables are built in; a `data=` folder, when given
(default "YEX-data"), is searched first. See help(yex) for the conventions.
"""
from ._yex import *  # noqa: F401,F403
from ._yex import __doc__, __version__  # noqa: F401
