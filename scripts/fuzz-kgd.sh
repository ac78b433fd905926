#!/usr/bin/env bash
# Fuzzes the native .kgd file reader with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer: builds build/fuzz with clang, writes two seed files (an empty and a
# small valid document) and runs the fuzzer for the given number of seconds (default 60), starting
# from the seeds and the corpus shipped in tests/fuzz/corpus. Any finding fails the script; it is
# kept in build/fuzz/ (crash-*, leak-*, timeout-*). The corpus grows in build/fuzz/kgd-corpus
# across runs (tests/fuzz/corpus is only read).
# Usage: scripts/fuzz-kgd.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DKRESOGRAF_FUZZ=ON -DKRESOGRAF_BUILD_GUI=OFF -DKRESOGRAF_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j 2 --target kgd_fuzz kgd_seeds

corpus=$build/kgd-corpus
mkdir -p "$corpus"
"$build/tests/fuzz/kgd_seeds" "$corpus"
"$build/tests/fuzz/kgd_fuzz" -max_total_time="$seconds" -max_len=8192 -timeout=10 \
    -rss_limit_mb=2048 -artifact_prefix="$build/" -print_final_stats=1 "$corpus" tests/fuzz/corpus
