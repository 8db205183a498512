#!/usr/bin/env bash
# Installs what the tests need and configures a test build in the folder given,
# through ccache when it is installed. Further arguments go to cmake.
# Usage: scripts/configure-tests.sh BUILD_DIR [cmake arguments...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"
shift
scripts/install-deps.sh test
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
# Line tables only: a quarter quicker to build than full debug information.
opt="-O2 -g1 -DNDEBUG"
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVELLO_TESTS=ON "${launcher[@]}" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="$opt" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="$opt" "$@" >/dev/null
