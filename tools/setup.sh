# Shared by run.sh and run-tests.sh: installs what is missing from Debian's
# packages, then configures and builds into the given folder.
set -euo pipefail

YEX_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
YEX_PACKAGES=(g++ make cmake pkg-config qt6-base-dev qt6-svg-dev libxrl-dev libgl-dev libstb-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-motoya-l-maruberi fonts-liberation2)

yex_install_missing() {
  local missing=() p
  for p in "${YEX_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Need root or sudo to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# yex_build BUILD_DIR [cmake options...]
yex_build() {
  local dir="$1"; shift
  cmake -S "$YEX_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}
