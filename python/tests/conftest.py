# Where the module, yex-cli and the shipped tables are: set by the README's
# test command (run-tests.sh), defaulting to the build tree.
import os
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("YEX_BUILD", ROOT / "build"))
sys.path.insert(0, str(BUILD / "python"))
