#!/usr/bin/env bash
# The Python package and the Windows build, checked on this Debian machine
# without network:
#  - `python3 -m build --no-isolation` makes the sdist and, from it, the wheel;
#    the wheel links no Qt and weighs under 3.5 MB (under 1 MB before
#    Chantler's f', f'' and photoabsorption were built in: 6 MB of text, which
#    the wheel's zip compresses to about 2 MB);
#  - a fresh venv installs the wheel and the Python tests run against that
#    installed package from a folder with no YEX-data; a second venv builds
#    and installs from the sdist alone;
#  - the core and a check program of it, cross-compiled with mingw-w64 and
#    run under wine64, print byte for byte what the Linux build prints.
# Run by run-tests.sh after the build in build/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
out="$root/build-py"
rm -rf "$out"
mkdir -p "$out"

echo "-- sdist and wheel"
/usr/bin/python3 -m build --no-isolation --outdir "$out/dist" "$root" >"$out/build.log" 2>&1 ||
  { tail -30 "$out/build.log"; exit 1; }
wheel="$(ls "$out"/dist/yex-*.whl)"
sdist="$(ls "$out"/dist/yex-*.tar.gz)"
mkdir "$out/unpacked"
(cd "$out/unpacked" && /usr/bin/python3 -m zipfile -e "$wheel" .)
if ldd "$out"/unpacked/yex/_yex*.so | grep -i qt; then
  echo "the wheel's module links Qt" >&2
  exit 1
fi
size=$(stat -c %s "$wheel")
echo "wheel: $(basename "$wheel"), $size bytes"
[ "$size" -lt 3500000 ] || { echo "the wheel weighs 3.5 MB or more" >&2; exit 1; }

echo "-- the installed wheel, tested from a folder with no YEX-data"
/usr/bin/python3 -m venv --system-site-packages "$out/venv-wheel"
"$out/venv-wheel/bin/pip" install -q --no-deps --no-build-isolation --no-index "$wheel"
mkdir "$out/empty"
(cd "$out/empty" && "$out/venv-wheel/bin/python" -c "import yex; print('from', yex.__file__)") | grep -q "$out/venv-wheel/" ||
  { echo "the tests would not run against the installed wheel" >&2; exit 1; }
(cd "$out/empty" &&
  "$out/venv-wheel/bin/python" -X importtime -c "import yex" 2>&1 | tail -1 | sed 's/^/import time (us): /' &&
  YEX_INSTALLED=1 YEX_BUILD="$root/build" "$out/venv-wheel/bin/python" -m pytest -q -p no:cacheprovider \
    --rootdir "$root/python/tests" "$root/python/tests")

echo "-- built from the sdist alone"
/usr/bin/python3 -m venv --system-site-packages "$out/venv-sdist"
"$out/venv-sdist/bin/pip" install -q --no-deps --no-build-isolation --no-index "$sdist" >"$out/sdist.log" 2>&1 ||
  { tail -30 "$out/sdist.log"; exit 1; }
(cd "$out/empty" && "$out/venv-sdist/bin/python" - "$root/build/cli/yex-cli" "$root/data/YEX-data" <<'PY'
import subprocess, sys
import numpy as np
import yex
cli, data = sys.argv[1:]
x = np.geomspace(0.004, 1200, 2001)
f, s = yex.table("Pb").lookup(x)
out = subprocess.run([cli, "--data", data, "curve", "Pb", "--from", "-"], input="\n".join(map(repr, x)),
                     capture_output=True, text=True).stdout
rows = [l.split(",") for l in out.splitlines() if not l.startswith("#")][1:]
want = np.array([[float(v) if v else np.nan for v in r[1:3]] for r in rows])
assert np.array_equal(f, want[:, 0], equal_nan=True) and np.array_equal(s, want[:, 1], equal_nan=True)
assert len(yex.tables()) == 98 and yex.__version__ == subprocess.run([cli, "--version"], capture_output=True,
                                                                        text=True).stdout.split()[1]
print("sdist build: Pb bit for bit yex-cli's on 2001 points; version", yex.__version__)
PY
)

echo "-- Windows: the core cross-compiled with mingw-w64, run under wine64"
win="$out/windows"
mkdir -p "$win"
x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -ffp-contract=off -DYEX_VERSION='"0"' -DYEX_XRAY_DATA_BUILT_IN -I"$root" \
  "$root"/core/*.cpp "$root"/core/*/*.cpp "$root/build/core/shipped_table_data.cpp" "$root/build/core/chantler_data.cpp" \
  "$root/build/core/xray_data_text.cpp" "$root/tests/core_check.cpp" -static -o "$win/core_check.exe"
export WINEPREFIX="$win/prefix" WINEDEBUG=-all
/usr/lib/wine/wine64 "$win/core_check.exe" 'C:\core_check.yex' >"$win/windows.txt" 2>"$win/wine.log" ||
  { tail "$win/wine.log"; exit 1; }
"$root/build/tests/core_check" "$win/linux.yex" >"$win/linux.txt"
cmp "$win/windows.txt" "$win/linux.txt"
echo "Windows build: $(wc -c <"$win/linux.txt") bytes of lookups, tables, curve, cross sections and averages, the same as Linux's"
