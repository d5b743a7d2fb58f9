#!/usr/bin/env bash
# Builds the Debian package of Parlotext (installing what the build needs when missing):
#   bash scripts/package.sh
# and prints its path. Install it with: apt install ./build/release/parlotext_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh

install_missing_packages "${BUILD_PACKAGES[@]}" "${RUN_PACKAGES[@]}" "${PACKAGE_PACKAGES[@]}"
# Installed under /usr, the sound module goes to Debian's multiarch library folder
# (/usr/lib/<triplet>/parlotext), where it needs no ldconfig run on install and removal.
cmake --preset release -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
cmake --build --preset release
rm -f build/release/parlotext_*.deb
(cd build/release && cpack -G DEB >/dev/null)
ls build/release/parlotext_*.deb
