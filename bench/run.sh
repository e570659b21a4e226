#!/usr/bin/env bash
# Builds Release with the benchmarks in build/ and prints every benchmark's figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
tintwell_need_packages "${TINTWELL_BUILD_PACKAGES[@]}" "${TINTWELL_BENCH_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF -DTINTWELL_BENCH=ON >/dev/null
cmake --build build >/dev/null

bench_data=build/bench-data
source bench/pictures.sh
bench_make_pictures
export TINTWELL_BENCH_DATA="$PWD/$bench_data"

# --- whole process against the usual command-line tool (engine) ---
# Each picture is reduced to k colours by the batch mode and by ImageMagick's convert, runs
# alternating, 5 of each; the medians of wall time and of peak resident memory are printed.
source bench/compare.sh
bench_compare_table build/tintwell-batch "$bench_data"
bench_profile build/tintwell-batch "$bench_data/photo_1024x768.bmp" 256
# --- end of the comparison ---

# controls_bench: a number of colours committed in a 1024x768 photograph's controls, from its Return to the repainted preview (aim: 30 ms).
# Size estimate and size graph (graphs_bench): the longest estimate run of the 6000 x 4000
# photograph (a pass, or preparing the later passes) bounds how long a key waits; the size curve of the 1024 x 768 one (every number
# of colours, aim: 60 s) is measured for at most TINTWELL_BENCH_SECONDS (600 unless set):
# curve_s is the whole curve's wall time (extrapolated if cut short), curve_cpu_s its processor time.

for b in build/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done

echo "== palette quality (PSNR in dB)"
bench/quality.sh build/tintwell-batch "$bench_data"
