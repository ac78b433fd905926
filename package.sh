#!/usr/bin/env bash
# Builds the Debian package kresograf_<version>_<arch>.deb in build/package and checks its file
# list. Installs what it needs (as root or with sudo).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh package
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
    -DKRESOGRAF_BUILD_TESTS=OFF -DKRESOGRAF_BUILD_BENCH=OFF >/dev/null
cmake --build build/package -j "$(nproc)"
(cd build/package && rm -f kresograf_*.deb && cpack -G DEB >/dev/null)
deb=$(ls build/package/kresograf_*.deb)
scripts/check-package.sh "$deb"
echo "$deb"
