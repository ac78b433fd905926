#!/usr/bin/env bash
# Builds a release build and starts the desktop program on the simulated card.
# Arguments are passed on to the program (for example a .kgd file, --no-splash,
# or --card ports --address 0x100 for a real card).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKRESOGRAF_BUILD_TESTS=OFF -DKRESOGRAF_BUILD_BENCH=OFF >/dev/null
cmake --build build/release --target kresograf kresograf-cli
program=build/release/gui/kresograf

# The window needs a screen; without one, say so rather than run invisibly.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "Brak ekranu graficznego (zmienna DISPLAY nie jest ustawiona): uruchom program w sesji" >&2
    echo "graficznej albo na ekranie wirtualnym: xvfb-run -a ./run.sh" >&2
    exit 1
fi
exec "$program" "$@"
