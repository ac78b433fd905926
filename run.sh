#!/usr/bin/env bash
# Builds a release build and runs the program on the simulated card.
# Arguments are passed on to the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DKRESOGRAF_BUILD_TESTS=OFF -DKRESOGRAF_BUILD_BENCH=OFF >/dev/null
cmake --build build/release
exec build/release/cli/kresograf-cli scope --shots 3 "$@"
