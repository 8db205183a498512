#!/usr/bin/env bash
# Runs every benchmark (each bench/*_bench.cpp) in its short mode, a few
# seconds on small inputs, so that none stops working unseen: a benchmark
# that fails, or does not end with its figure ("name=value"), fails the run.
# Short figures are not the benchmarks' (run those by hand: see the README).
# Takes the benchmarks ./test.sh builds in build/test, or in the build folder given.
# Usage: scripts/bench-short.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
bench_dir="${1:-build/test}/bench"
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
export QT_QPA_PLATFORM=offscreen
failed=()
for source in bench/*_bench.cpp; do
  b=$(basename "$source" .cpp)
  start=$(date +%s%N)
  if "$bench_dir/$b" --short >"$out" 2>"$err" && tail -n 1 "$out" | grep -q '='; then
    ms=$((($(date +%s%N) - start) / 1000000))
    printf '%-16s %3d.%d s  %s\n' "$b" $((ms / 1000)) $((ms % 1000 / 100)) "$(tail -n 1 "$out")"
  else
    printf '%-16s FAILED:\n' "$b"
    cat "$out" "$err" | sed 's/^/    /'
    failed+=("$b")
  fi
done
if [ ${#failed[@]} -gt 0 ]; then
  echo "benchmarks that failed in their short mode: ${failed[*]}" >&2
  exit 1
fi
