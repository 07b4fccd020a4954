#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless.
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

yex_install_missing
yex_build "$YEX_ROOT/build"
export QT_QPA_PLATFORM=offscreen
cd "$YEX_ROOT/build"
ctest --output-on-failure -j "$(nproc)"
