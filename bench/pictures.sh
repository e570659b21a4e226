# Renders the benchmark pictures into a folder (sourced by bench/run.sh): photographs from the
# desktop backgrounds with a little sensor-like grain, so their colour counts are those of real
# photographs, one background as it is, a smooth gradient and a flat graphic of 8 colours.
# Each picture is written as a binary PPM (for the benchmark programs) and a 24-bit BMP (for the
# whole-process comparison), except the largest photograph, which only the GIF benchmark reads.
bench_backgrounds=/usr/share/backgrounds/gnome

bench_ppm_to_bmp() {  # name
  [ -s "$bench_data/$1.bmp" ] ||
    /usr/bin/convert "$bench_data/$1.ppm" -type TrueColor "BMP3:$bench_data/$1.bmp"
}

bench_photo() {  # name, background, size, grain (1 or 0), bmp (1 or 0)
  local grain=()
  [ "$4" = 1 ] && grain=(-seed 7 -attenuate 0.2 +noise Gaussian)
  [ -s "$bench_data/$1.ppm" ] ||
    /usr/bin/convert "$bench_backgrounds/$2.webp" -resize "$3!" "${grain[@]}" -depth 8 "$bench_data/$1.ppm"
  if [ "$5" = 1 ] && ! [ -s "$bench_data/$1.bmp" ]; then bench_ppm_to_bmp "$1"; fi
}

bench_drawn() {  # name, python expression of the pixel (x, y, w, h) as r, g, b
  [ -s "$bench_data/$1.ppm" ] && { bench_ppm_to_bmp "$1"; return 0; }
  python3 - "$bench_data/$1.ppm" "$2" <<'PY'
import math, sys
w, h = 1024, 768
pixel = eval("lambda x, y, w, h: " + sys.argv[2], {"math": math})
out = bytearray()
for y in range(h):
    for x in range(w):
        out += bytes(max(0, min(255, int(v))) for v in pixel(x, y, w, h))
with open(sys.argv[1], "wb") as f:
    f.write(b"P6 %d %d 255\n" % (w, h) + out)
PY
  bench_ppm_to_bmp "$1"
}

# bench_data must be set; pictures already there are kept.
bench_make_pictures() {
  mkdir -p "$bench_data"
  if [ -d "$bench_backgrounds" ]; then
    bench_photo photo_1024x768 adwaita-l 1024x768 1 1
    bench_photo licorice_1024x768 licorice-l 1024x768 1 1
    bench_photo truchet_1024x768 truchet-l 1024x768 0 1
    bench_photo photo_3000x2000 adwaita-l 3000x2000 1 1
    bench_photo photo_6000x4000 adwaita-l 6000x4000 1 0  # the GIF writer's large case only
  else
    echo "No desktop backgrounds found: photograph benchmarks are skipped."
  fi
  bench_drawn gradient_1024x768 \
    "(x * 255.0 / (w - 1), y * 255.0 / (h - 1), 127.5 + 127.4 * math.sin(x / 97.0 + y / 61.0))"
  bench_drawn flat8_1024x768 \
    "[(((x // 128) + (y // 96)) % 8 if (x - 512) ** 2 + (y - 384) ** 2 > 200 ** 2 else 7 - ((x // 64) % 8)) >> b & 1 and 230 or 20 for b in (0, 1, 2)]"
}
