#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless: the suite,
# the web page's tests in Node and Chromium, the suite again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and the fuzz targets for a
# bounded time each.
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

yex_install_missing clang libclang-rt-14-dev xvfb xauth openbox x11-utils desktop-file-utils appstream man-db dpkg-dev file lintian \
  pybind11-dev python3-dev python3-numpy python3-pytest mypy libgtest-dev python3-xraydb
export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

echo "== build and test"
yex_build "$YEX_ROOT/build"
(cd "$YEX_ROOT/build" && ctest --output-on-failure -j "$jobs")

echo "== Python module (pytest)"
YEX_BUILD="$YEX_ROOT/build" /usr/bin/python3 -m pytest -q -p no:cacheprovider "$YEX_ROOT/python/tests"

echo "== without Qt: the core, yex-cli and the Python module, Qt hidden from CMake"
yex_build "$YEX_ROOT/build-nogui" -DYEX_GUI=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON --no-warn-unused-cli
if ldd "$YEX_ROOT/build-nogui/cli/yex-cli" | grep -i qt; then echo "yex-cli links Qt" >&2; exit 1; fi
(cd "$YEX_ROOT/build-nogui" && ctest --output-on-failure -j "$jobs")
YEX_BUILD="$YEX_ROOT/build-nogui" /usr/bin/python3 -m pytest -q -p no:cacheprovider "$YEX_ROOT/python/tests"

echo "== yex-cli for Windows (mingw-w64), the README's examples under wine64"
"$YEX_ROOT/tools/build-windows.sh"

echo "== Python package (pip: sdist, wheel, fresh venvs) and the core built for Windows (mingw-w64, wine64)"
yex_install_missing python3-build python3-pybind11 python3-venv python3-wheel python3-setuptools \
  g++-mingw-w64-x86-64-posix wine64
"$YEX_ROOT/tools/check-packages.sh"

echo "== web page: built with Emscripten, tested in Node against yex-cli and in headless Chromium"
yex_install_missing emscripten node-acorn nodejs chromium
command -v npm >/dev/null || yex_install_missing npm
"$YEX_ROOT/tools/build-web.sh" >/dev/null
(cd "$YEX_ROOT/web" && npm ci --no-audit --no-fund --loglevel=error &&
  YEX_CLI="$YEX_ROOT/build/cli/yex-cli" YEX_PYTHONPATH="$YEX_ROOT/build/python" YEX_SITE="$YEX_ROOT/build-web/site" node --test tests/)

echo "== build and test under AddressSanitizer + UndefinedBehaviorSanitizer"
yex_build "$YEX_ROOT/build-asan" -DYEX_SANITIZE=ON
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
# The soak repeats what the suite already covers, and installing and
# packaging check files, not code; under the sanitizers they would only take
# long.
(cd "$YEX_ROOT/build-asan" && ctest --output-on-failure -j "$jobs" -LE "soak|install")

echo "== fuzz (${YEX_FUZZ_SECONDS:-20} s a target)"
cmake -S "$YEX_ROOT/fuzz" -B "$YEX_ROOT/build-fuzz" -DCMAKE_CXX_COMPILER=clang++ \
  -DYEX_FUZZ_SECONDS="${YEX_FUZZ_SECONDS:-20}" >/dev/null
cmake --build "$YEX_ROOT/build-fuzz" -j "$jobs"
(cd "$YEX_ROOT/build-fuzz" && ctest --output-on-failure -j "$jobs")
