#!/usr/bin/env bash
# Builds Tarvello in Release, lays out its program folder and starts it.
# Extra arguments go to the program (for example: ./run.sh -st).
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh build
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARVELLO_TESTS=OFF >/dev/null
cmake --build build/release
exec build/release/bin/tarvello "$@"
