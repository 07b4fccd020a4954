#!/usr/bin/env bash
# Cross-compiles yex-cli.exe for Windows (mingw-w64, statically linked) into
# build-win/, runs every console example of the README under wine64 and
# compares what it prints with what the README shows (Linux's output; the
# only difference allowed is Windows' "\" in a path such as
# YEX-data\Water.yex), and packs build-win/yex-cli-windows-x86_64.zip: the
# exe, the shipped tables, LICENSE and a short README.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
yex_install_missing g++-mingw-w64-x86-64-posix wine64 libstb-dev
root=$YEX_ROOT
out=$root/build-win
version=$(sed -n 's/^project(YEX VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
rm -rf "$out/package" "$out/bin" "$out/obj"
mkdir -p "$out/package/YEX-data" "$out/bin"

echo "-- yex-cli.exe (mingw-w64, static)"
# One object a source, as many at once as there are cores.
mkdir -p "$out/obj"
cxx=(x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -ffp-contract=off -Wall -Wno-unused-function
  -DYEX_VERSION="\"$version\"" -DYEX_REL_DATA='"YEX-data"' -DYEX_SOURCE_DATA='"YEX-data"' -DYEX_XRAY_DATA_BUILT_IN
  -I"$root" -I/usr/include/stb)
# Chantler's data and the element tables built in, as in the other builds
# (attenuation reads the built-in tables where there is no data folder).
python3 "$root/tools/embed_chantler.py" "$root/data/chantler/chantler.txt" "$out/obj/chantler_data.cpp"
python3 "$root/tools/embed_tables.py" "$root/data/YEX-data" "$out/obj/shipped_table_data.cpp"
python3 "$root/tools/embed_xray_data.py" "$root/data/elam/xray_data.txt" "$out/obj/xray_data_text.cpp"
sources=("$root"/core/*.cpp "$root"/core/*/*.cpp "$root"/cli/*.cpp "$root"/cli/*/*.cpp "$out/obj/chantler_data.cpp" "$out/obj/shipped_table_data.cpp"
  "$out/obj/xray_data_text.cpp")
printf '%s\n' "${sources[@]}" | xargs -P "$(nproc)" -I{} sh -c \
  'f={}; o="$0/$(basename "$(dirname "$f")")_$(basename "$f" .cpp).o"; exec "$@" -c "$f" -o "$o"' "$out/obj" "${cxx[@]}"
"${cxx[0]}" "$out"/obj/*.o -static -lshell32 -o "$out/package/yex-cli.exe"

# `yex-cli` on the PATH runs the exe under wine; the chart's font is
# Linux's Liberation Serif, seen by wine on drive Z:.
export WINEPREFIX="$out/prefix" WINEDEBUG=-all
font=$(ls /usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf)
cat >"$out/bin/yex-cli" <<WRAP
#!/usr/bin/env bash
YEX_FONT='Z:${font//\//\\}' /usr/lib/wine/wine64 "$out/package/yex-cli.exe" "\$@" | tr '\\\\' /
exit \${PIPESTATUS[0]}
WRAP
chmod +x "$out/bin/yex-cli"
/usr/lib/wine/wine64 "$out/package/yex-cli.exe" --version >/dev/null 2>&1 || true  # creates the prefix

echo "-- the README's examples under wine64"
python3 "$root/tests/readme_examples.py" "$out/bin/yex-cli" "$root"

echo "-- names outside ASCII: a plot written and points read in a folder named with É"
wd="$out/Dossier É"
rm -rf "$wd" && mkdir -p "$wd/YEX-data" && cp "$root/data/YEX-data/C.yex" "$wd/YEX-data/"
printf '0.1\n0.3\n' >"$wd/points ü.txt"
points=$(cd "$wd" && "$out/bin/yex-cli" plot C "Graphique ü.png" >/dev/null && "$out/bin/yex-cli" curve C --from "points ü.txt") &&
  grep -q '^0.3,' <<<"$points" || { echo "yex-cli.exe: names outside ASCII fail" >&2; exit 1; }
[ -s "$wd/Graphique ü.png" ] && [ "$(ls "$wd" | grep -c 'Ã')" = 0 ] || { echo "yex-cli.exe wrote a garbled name" >&2; exit 1; }

echo "-- $out/yex-cli-windows-x86_64.zip"
cp "$root"/data/YEX-data/*.yex "$out/package/YEX-data/"
cp "$root/LICENSE" "$out/package/LICENSE.txt"
cat >"$out/package/README.txt" <<TXT
yex-cli $version for Windows (x86-64): the command line of YEX, the atomic form
factors F(x) and incoherent scattering functions S(x) of the elements H to Cf.
Run it from a folder holding YEX-data\\ (the tables beside the exe), or give
--data DIR. "yex-cli --help" lists the commands; every number is the one the
Linux build prints. Charts (yex-cli plot) use Times New Roman.
f', f'' and photoabsorption (yex-cli dispersion, attenuation): C. T. Chantler,
J. Phys. Chem. Ref. Data 24, 71 (1995) and 29, 597 (2000), NIST, public domain,
as compiled in XrayDB (public domain), built into the exe.
TXT
sed -i 's/$/\r/' "$out/package/README.txt"
rm -f "$out/yex-cli-windows-x86_64.zip"
(cd "$out/package" && python3 -m zipfile -c "$out/yex-cli-windows-x86_64.zip" yex-cli.exe YEX-data LICENSE.txt README.txt)
echo "Windows: $(stat -c %s "$out/package/yex-cli.exe") bytes of yex-cli.exe; zip $(stat -c %s "$out/yex-cli-windows-x86_64.zip") bytes"
