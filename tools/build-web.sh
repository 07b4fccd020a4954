#!/usr/bin/env bash
# Builds the web page into build-web/site/ (index.html, app.js, style.css and
# yex.js, which holds the WebAssembly): YEX's plain core compiled with
# Debian's Emscripten. Installs what is missing. Open build-web/site/index.html
# straight from disk, or serve the folder from any static host.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"
yex_install_missing emscripten node-acorn nodejs
# Debian's Emscripten runs its optimizer on Debian's Node modules.
export NODE_PATH=/usr/share/nodejs
emcmake cmake -S "$YEX_ROOT/web" -B "$YEX_ROOT/build-web" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$YEX_ROOT/build-web" -j "$(nproc)"
ls -l "$YEX_ROOT/build-web/site"
