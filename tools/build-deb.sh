#!/usr/bin/env bash
# Builds the Debian package yex_<version>_<arch>.deb from this checkout:
# installs what is missing, builds a release tree in build-deb/ and runs
# CPack; the package is left in the checkout's top folder.
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

yex_install_missing dpkg-dev file pybind11-dev python3-dev python3-numpy
yex_build "$YEX_ROOT/build-deb" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr
(cd "$YEX_ROOT/build-deb" && cpack -G DEB -B "$YEX_ROOT/build-deb/package")
cp "$YEX_ROOT"/build-deb/package/yex_*.deb "$YEX_ROOT/"
ls -l "$YEX_ROOT"/yex_*.deb
