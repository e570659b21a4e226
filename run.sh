#!/usr/bin/env bash
# Builds Release in build/ and starts the program on the given picture (default: the sample).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tintwell_need_packages "${TINTWELL_BUILD_PACKAGES[@]}"

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF >/dev/null
cmake --build build >/dev/null

picture="${1:-samples/sample.bmp}"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  # Without a display the same pipeline and writer run in batch mode.
  name=$(basename "$picture")
  out="build/${name%.*}.gif"
  echo "No display found (DISPLAY is not set): reducing $picture to 256 colours in batch mode."
  build/tintwell-batch "$picture" "$out" --colours 256 --report
  echo "The GIF is $out"
  exit 0
fi
exec build/tintwell "$picture"
