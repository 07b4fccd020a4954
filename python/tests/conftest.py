# Where the module, yex-cli and the shipped tables are: set by the README's
# test command (run-tests.sh), defaulting to the build tree.
import os
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parents[2]
BUILD = pathlib.Path(os.environ.get("YEX_BUILD", ROOT / "build"))
# YEX_INSTALLED: test the package pip installed, not the build tree's module.
if not os.environ.get("YEX_INSTALLED"):
    sys.path.insert(0, str(BUILD / "python"))
