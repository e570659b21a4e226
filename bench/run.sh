#!/usr/bin/env bash
# Builds Release with the benchmarks in build/ and prints every benchmark's figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
tintwell_need_packages "${TINTWELL_BUILD_PACKAGES[@]}" "${TINTWELL_BENCH_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF -DTINTWELL_BENCH=ON >/dev/null
cmake --build build >/dev/null

for b in build/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
