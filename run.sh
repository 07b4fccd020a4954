#!/usr/bin/env bash
# Installs what is missing, builds and starts YEX in its work folder
# (default ~/YEX-work, or $YEX_WORKDIR), whose YEX-data is seeded with the
# shipped element tables that are not there yet.
source "$(dirname "${BASH_SOURCE[0]}")/tools/setup.sh"

yex_install_missing
yex_build "$YEX_ROOT/build"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "YEX needs a display: no DISPLAY or WAYLAND_DISPLAY is set." >&2
  exit 1
fi

work="${YEX_WORKDIR:-$HOME/YEX-work}"
mkdir -p "$work/YEX-data"
cp -n "$YEX_ROOT"/data/YEX-data/*.yex "$work/YEX-data/" 2>/dev/null || true
echo "YEX work folder: $work"
cd "$work"
exec "$YEX_ROOT/build/yex"
