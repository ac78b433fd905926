#!/usr/bin/env bash
# Installs the Debian packages the build needs (FFTW for the spectrum, HDF5 and zlib for its export,
# NumPy for the Python module), only when one is missing. The tests also want a
# locale that writes a decimal comma, to prove that no number the program writes follows it.
# Usage: scripts/install-deps.sh [build|test|package]
set -euo pipefail
kind=${1:-build}
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev fonts-liberation2
    qt6-translations-l10n gettext libfftw3-dev libhdf5-dev zlib1g-dev python3 python3-numpy)
if [ "$kind" = package ] || [ "$kind" = test ]; then
    packages+=(dpkg-dev file)
fi
if [ "$kind" = test ]; then
    packages+=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
        clang-format locales xvfb xauth xdotool x11-utils python3-pandas python3-h5py python3-pytest)
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
if [ "$kind" = test ] && ! locale -a 2>/dev/null | grep -qi '^pl_PL\.utf-\?8$'; then
    $sudo localedef -i pl_PL -c -f UTF-8 pl_PL.UTF-8 || echo "pl_PL.UTF-8 not available: the locale tests are skipped"
fi
