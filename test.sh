#!/usr/bin/env bash
# Builds Tarvello with its tests and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh test
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELLO_TESTS=ON >/dev/null
cmake --build build/test
cd build/test
ctest --output-on-failure -j "$(nproc)" "$@"
