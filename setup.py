"""Builds the extension of the Python package `yex` from the core's sources
(core/**/*.cpp), the shipped tables (data/YEX-data, built in) and the module
(python/*.cpp): standard C++17, nothing else."""
import pathlib
import re
import sys

from pybind11.setup_helpers import ParallelCompile, Pybind11Extension, build_ext
from setuptools import setup

ROOT = pathlib.Path(__file__).resolve().parent
sys.path.insert(0, str(ROOT / "tools"))
import embed_chantler  # noqa: E402
import embed_tables  # noqa: E402
import embed_xray_data  # noqa: E402

# The core's files compile in parallel, one a core.
ParallelCompile("YEX_BUILD_JOBS").install()

# The version from one place: the project line of CMakeLists.txt, as yex-cli's.
VERSION = re.search(r"^project\(YEX VERSION ([0-9.]+)", (ROOT / "CMakeLists.txt").read_text(), re.M).group(1)

GENERATED = pathlib.Path("build-py") / "generated" / "shipped_table_data.cpp"
embed_tables.write(ROOT / "data" / "YEX-data", ROOT / GENERATED)
CHANTLER = pathlib.Path("build-py") / "generated" / "chantler_data.cpp"
embed_chantler.write(ROOT / "data" / "chantler" / "chantler.txt", ROOT / CHANTLER)
XRAY = pathlib.Path("build-py") / "generated" / "xray_data_text.cpp"
embed_xray_data.write(ROOT / "data" / "elam" / "xray_data.txt", ROOT / XRAY)

# The same bits on every compiler: no fused multiply-add anywhere.
if sys.platform == "win32" and "mingw" not in sys.version.lower():
    flags = ["/fp:precise", "/fp:contract-", "/utf-8"]
else:
    flags = ["-ffp-contract=off", "-g0"]

sources = sorted(str(p.relative_to(ROOT)) for p in (ROOT / "core").rglob("*.cpp"))
extension = Pybind11Extension(
    "yex._yex",
    sources + sorted(str(p.relative_to(ROOT)) for p in (ROOT / "python").glob("*.cpp")) + [str(GENERATED), str(CHANTLER), str(XRAY)],
    include_dirs=["."],
    define_macros=[("YEX_VERSION", f'"{VERSION}"'), ("YEX_PYTHON_MODULE", "_yex"), ("YEX_XRAY_DATA_BUILT_IN", None)],
    extra_compile_args=flags,
    cxx_std=17,
)

setup(version=VERSION, ext_modules=[extension], cmdclass={"build_ext": build_ext})
