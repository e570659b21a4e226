#!/usr/bin/env bash
# Holds our metafile player against an office suite's own drawing of real clip art.
# Fifteen varied drawings are exported to WMF by LibreOffice, drawn to PNG by it as the
# reference and by tintwell-batch as ours; both are trimmed of the page's white margin,
# blurred by one pixel and compared by RMSE (0 = the same, 1 = opposite). The worst three
# are put side by side (reference left, ours right) in OUT/worst.png.
# Usage: clipart_check.sh BUILD_DIR [LIMIT]   fails when any RMSE is above LIMIT (default 0.25).
# Skipped (exit 77, which ctest reports as skipped) when LibreOffice, ImageMagick or the
# clip art is not installed.
set -uo pipefail
build=$(cd "${1:?build directory}" && pwd)
limit=${2:-0.25}
if ! command -v soffice >/dev/null || ! command -v convert >/dev/null || [ ! -d /usr/share/openclipart/svg ]; then
  echo "clip-art check skipped: LibreOffice, ImageMagick or openclipart-svg is not installed"
  exit 77
fi
art=/usr/share/openclipart/svg
drawings=(
  animals/bat_orlando_karam_.svg computer/buttons/button-red_benji_park_01.svg
  computer/icons/plastik_icon_v08.svg food/desserts/flan_jean-victor_balin_01.svg office/eraser.svg
  recreation/sports/baseball_cap_ganson.svg shapes/stars/star_16pt03step.svg
  computer/icons/etiquette-theme/stock/seal.svg unsorted/landscape_near_the_river_01.svg
  office/telephone/numero_verde_angelo_gelm_01.svg signs_and_symbols/mpcad_box_30x20x100_cels_01.svg
  recreation/party/baloon2_05.svg unsorted/mygraph_john_rariden_01.svg
  recreation/sports/cronometro_mauro_olivo_01.svg computer/doublesight_dual_monito_01.svg
)
out=$build/clipart
rm -rf "$out" && mkdir -p "$out/wmf" "$out/ref" "$out/ours"
office=(soffice "-env:UserInstallation=file://$out/profile" --headless)
inputs=()
for d in "${drawings[@]}"; do [ -f "$art/$d" ] && inputs+=("$art/$d"); done
"${office[@]}" --convert-to wmf --outdir "$out/wmf" "${inputs[@]}" >"$out/office.log" 2>&1
"${office[@]}" --convert-to png --outdir "$out/ref" "$out"/wmf/*.wmf >>"$out/office.log" 2>&1

failed=0
: >"$out/figures.txt"
for wmf in "$out"/wmf/*.wmf; do
  name=$(basename "$wmf" .wmf)
  ref=$out/ref/$name.png
  [ -f "$ref" ] || { echo "$name: no reference drawing"; continue; }
  if ! "$build/tintwell-batch" "$wmf" "$out/ours/$name.gif" --colours 16777216 >/dev/null 2>"$out/ours/$name.err"; then
    echo "$name: not drawn: $(head -1 "$out/ours/$name.err")"
    failed=1
    continue
  fi
  convert "$out/ours/$name.gif" -background white -layers flatten -trim +repage "$out/ours/$name.png"
  convert "$ref" -background white -flatten -trim +repage "$out/ref/$name.trim.png"
  size=$(identify -format '%wx%h' "$out/ref/$name.trim.png")
  convert "$out/ours/$name.png" -resize "$size!" "$out/ours/$name.sized.png"
  convert "$out/ref/$name.trim.png" -blur 1x1 "$out/ref/$name.blur.png"
  convert "$out/ours/$name.sized.png" -blur 1x1 "$out/ours/$name.blur.png"
  rmse=$(compare -metric RMSE "$out/ref/$name.blur.png" "$out/ours/$name.blur.png" null: 2>&1 |
         sed -n 's/.*(\(.*\)).*/\1/p')
  printf '%s %s\n' "$rmse" "$name" >>"$out/figures.txt"
  awk -v r="$rmse" -v l="$limit" 'BEGIN { exit !(r > l) }' && failed=1
done
sort -rn "$out/figures.txt" | awk '{ printf "%-40s RMSE %.4f\n", $2, $1; s += $1; n++ } END { if (n) printf "mean RMSE %.4f over %d drawings\n", s / n, n }'
rows=()
for name in $(sort -rn "$out/figures.txt" | head -3 | awk '{ print $2 }'); do
  convert "$out/ref/$name.trim.png" "$out/ours/$name.sized.png" -resize 400x400 -bordercolor grey -border 4 +append \
    "$out/row-$name.png"
  rows+=("$out/row-$name.png")
done
[ ${#rows[@]} -gt 0 ] && convert "${rows[@]}" -background white -append "$out/worst.png" && echo "side by side: $out/worst.png"
exit $failed
