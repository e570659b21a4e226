#!/usr/bin/env bash
# Builds Release with the benchmarks in build/ and prints every benchmark's figures.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
tintwell_need_packages "${TINTWELL_BUILD_PACKAGES[@]}" "${TINTWELL_BENCH_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF -DTINTWELL_BENCH=ON >/dev/null
cmake --build build >/dev/null

# Photographs are rendered from the desktop backgrounds with a little sensor-like grain,
# so their colour counts are those of real photographs (about 280,000 at 1024 x 768).
data=build/bench-data
mkdir -p "$data"
src=/usr/share/backgrounds/gnome/adwaita-l.webp
make_photo() {  # name, size
  if [ ! -s "$data/$1.ppm" ]; then
    convert "$src" -resize "$2!" -seed 7 -attenuate 0.2 +noise Gaussian -depth 8 "$data/$1.ppm"
    convert "$data/$1.ppm" -type TrueColor "BMP3:$data/$1.bmp"
  fi
}
if [ -f "$src" ]; then
  make_photo photo_1024x768 1024x768
  make_photo photo_6000x4000 6000x4000
else
  echo "No desktop backgrounds found: photograph benchmarks are skipped."
fi
export TINTWELL_BENCH_DATA="$PWD/$data"

for b in build/bench/*_bench; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" --benchmark_counters_tabular=true
done
