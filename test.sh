#!/usr/bin/env bash
# Builds everything and runs every test: the release build with CTest, the core tests under
# AddressSanitizer and UndefinedBehaviorSanitizer, the worker-thread tests under ThreadSanitizer,
# and the .kgd reader under the fuzzer for 30 s.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
jobs=$(nproc)

cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build/test -j "$jobs"
(cd build/test && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs")

cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKRESOGRAF_SANITIZE=ON \
    -DKRESOGRAF_BUILD_GUI=OFF -DKRESOGRAF_BUILD_BENCH=OFF >/dev/null
cmake --build build/asan -j "$jobs" --target core_tests
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 build/asan/tests/core_tests --gtest_brief=1

cmake -S . -B build/tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKRESOGRAF_TSAN=ON \
    -DKRESOGRAF_BUILD_GUI=OFF -DKRESOGRAF_BUILD_BENCH=OFF >/dev/null
cmake --build build/tsan -j "$jobs" --target core_tests
TSAN_OPTIONS=halt_on_error=1 build/tsan/tests/core_tests --gtest_brief=1 --gtest_filter='*Worker*:*Thread*:*Mode*'

# The file reader under the fuzzer for 30 s from the shipped corpus: no finding allowed.
scripts/fuzz-kgd.sh 30
