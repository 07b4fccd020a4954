#!/usr/bin/env bash
# Installs what is missing, builds and starts YEX in its work folder
# (default ~/YEX-work, or $YEX_WORKDIR), whose YEX-data is seeded with the
# shipped element tables that are not there yet, through the same launcher
# the installed program uses.
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

yex_install_missing
yex_build "$YEX_ROOT/build"

YEX_PROGRAM="$YEX_ROOT/build/app/yex" YEX_SHIPPED_DATA="$YEX_ROOT/data/YEX-data" \
  exec "$YEX_ROOT/build/yex-launcher"
