#!/usr/bin/env bash
# Builds the web page into build-web/site/ (index.html, app.js, style.css and
# yex.js, which holds the WebAssembly): YEX's plain core compiled with
# Debian's Emscripten. Installs what is missing. Open build-web/site/index.html
# straight from disk, or serve the folder from any static host.
# YEX_WEB_SIMD=OFF tools/build-web.sh build-web-scalar builds the module
# without SIMD128 into another folder (for the benchmark).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
yex_install_missing emscripten node-acorn nodejs
command -v npm >/dev/null || yex_install_missing npm
# Debian's Emscripten runs its optimizer on Debian's Node modules.
export NODE_PATH=/usr/share/nodejs
# The plotting library the page bundles, as package-lock.json pins it.
if [ ! -f "$YEX_ROOT/web/node_modules/uplot/dist/uPlot.iife.min.js" ]; then
  (cd "$YEX_ROOT/web" && npm ci --no-audit --no-fund >/dev/null)
fi
out="$YEX_ROOT/${1:-build-web}"
emcmake cmake -S "$YEX_ROOT/web" -B "$out" -DCMAKE_BUILD_TYPE=Release -DYEX_WEB_SIMD="${YEX_WEB_SIMD:-ON}" >/dev/null
cmake --build "$out" -j "$(nproc)"
ls -l "$out/site"
