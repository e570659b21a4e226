#!/usr/bin/env bash
# Palette quality beside ImageMagick's: PSNR of the GIF against its source at 16, 64 and
# 256 colours for each bench photograph, ours without and with --refine and ImageMagick's
# `-dither None -colors K`, and the time --refine adds to ours.
# Usage: bench/quality.sh BATCH_PROGRAM DATA_FOLDER (run.sh passes both).
set -euo pipefail
batch=$1
data=$2
backgrounds=/usr/share/backgrounds/gnome
names=(adwaita-l wood-d licorice-l truchet-d)
if [ ! -f "$backgrounds/${names[0]}.webp" ]; then
  echo "No desktop backgrounds found: the palette quality table is skipped."
  exit 0
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

psnr() { compare -metric PSNR "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }
# Best of three processor times (user and system) of a command, in milliseconds: on a
# shared machine the wall clock says more about the neighbours than about the program.
best_ms() {
  local best= TIMEFORMAT='%3U %3S'
  for _ in 1 2 3; do
    local t ms
    t=$( { time "$@" >/dev/null 2>&1; } 2>&1 )
    ms=$(awk -v u="${t% *}" -v s="${t#* }" 'BEGIN { printf "%d", (u + s) * 1000 }')
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  echo "$best"
}

printf '%-12s %5s %10s %10s %12s %12s\n' photograph k ours refined imagemagick "refine time"
for name in "${names[@]}"; do
  photo="$data/quality-$name.png"
  # The same sensor-like grain as the engine's bench photographs.
  [ -s "$photo" ] || convert "$backgrounds/$name.webp" -resize '1024x768!' -seed 7 -attenuate 0.2 \
    +noise Gaussian -depth 8 "$photo"
  for k in 16 64 256; do
    plain_ms=$(best_ms "$batch" "$photo" "$work/plain.gif" --colours "$k")
    refined_ms=$(best_ms "$batch" "$photo" "$work/refined.gif" --colours "$k" --refine)
    convert "$photo" -dither None -colors "$k" "$work/im.gif"
    printf '%-12s %5s %10s %10s %12s %11sx\n' "$name" "$k" "$(psnr "$photo" "$work/plain.gif")" \
      "$(psnr "$photo" "$work/refined.gif")" "$(psnr "$photo" "$work/im.gif")" \
      "$(awk -v a="$refined_ms" -v b="$plain_ms" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }')"
  done
done
