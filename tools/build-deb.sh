#!/usr/bin/env bash
# Builds the Debian package yex_<version>_<arch>.deb from this checkout:
# installs what is missing, builds a release tree in build-deb/ and runs
# CPack; the package is left in the checkout's top folder.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

yex_install_missing dpkg-dev file lintian pybind11-dev python3-dev python3-numpy
yex_build "$YEX_ROOT/build-deb" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
(cd "$YEX_ROOT/build-deb" && cpack -G DEB -B "$YEX_ROOT/build-deb/package")
cp "$YEX_ROOT"/build-deb/package/yex_*.deb "$YEX_ROOT/"
ls -l "$YEX_ROOT"/yex_*.deb
# Debian's checker: any error or warning fails the build.
lintian --tag-display-limit 0 "$YEX_ROOT"/yex_*.deb | tee "$YEX_ROOT/build-deb/lintian.txt"
! grep -q '^[EW]: ' "$YEX_ROOT/build-deb/lintian.txt"
