#!/usr/bin/env bash
# Builds Tarvello with its tests and runs every test through ctest.
set -euo pipefail
cd "$(dirname "$0")"
scripts/configure-tests.sh build/test
cmake --build build/test
cd build/test
ctest --output-on-failure -j "$(nproc)" "$@"
