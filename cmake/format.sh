#!/usr/bin/env bash
# Runs clang-format (first argument) with the given flags over every C++ source of the project.
set -euo pipefail
tool=$1
shift
cd "$(dirname "$0")/.."
git ls-files -- '*.cpp' '*.h' | xargs -r "$tool" "$@"
