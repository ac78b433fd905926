#!/usr/bin/env bash
# Installs the Debian packages the build needs, only when one is missing.
# Usage: scripts/install-deps.sh [build|test]
set -euo pipefail
kind=${1:-build}
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev libgl-dev fonts-liberation2
    qt6-translations-l10n)
if [ "$kind" = test ]; then
    packages+=(googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format)
fi
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
