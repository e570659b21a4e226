# The whole-process comparison table (sourced by bench/run.sh).
bench_runs=5

# Prints "seconds kilobytes" of one run of a command.
bench_one_run() {
  local stats start end
  stats=$(mktemp)
  start=$(date +%s%N)
  /usr/bin/time -f "%M" -o "$stats" "$@" >/dev/null 2>&1
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000000 )) $(tail -1 "$stats")"
  rm -f "$stats"
}

bench_median() { sort -n | sed -n "$(( (bench_runs + 1) / 2 ))p"; }

# Prints one row: picture, colours, then for k = 16 and 256 our median time, theirs, the ratio,
# and the medians of both peak memories.
bench_compare_picture() {  # batch, picture (.bmp)
  local batch=$1 picture=$2 name colours k i row
  local -A theirTime ourMemory theirMemory
  name=$(basename "$picture" .bmp)
  colours=$(/usr/bin/convert "$picture" -format %k info:)
  row="| $name | $colours"
  for k in 16 256; do  # 256 last: $ot is our --colours 256 after the loop
    local ours=() theirs=()
    for (( i = 0; i < bench_runs; i++ )); do
      ours+=("$(bench_one_run "$batch" "$picture" "$bench_tmp/ours.gif" --colours "$k")")
      theirs+=("$(bench_one_run /usr/bin/convert "$picture" -dither None -colors "$k" "$bench_tmp/theirs.gif")")
    done
    local ot tt om tm
    ot=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f1 | bench_median)
    tt=$(printf '%s\n' "${theirs[@]}" | cut -d' ' -f1 | bench_median)
    om=$(printf '%s\n' "${ours[@]}" | cut -d' ' -f2 | bench_median)
    tm=$(printf '%s\n' "${theirs[@]}" | cut -d' ' -f2 | bench_median)
    row+=$(awk -v o="$ot" -v t="$tt" -v om="$om" -v tm="$tm" 'BEGIN {
      printf " | %.2f s | %.2f s | %.2f | %.0f / %.0f MB", o / 1000, t / 1000, o / t, om / 1024, tm / 1024 }')
    theirTime[$k]=$tt ourMemory[$k]=$om theirMemory[$k]=$tm
  done
  echo "$row |"
  # Our --colours 256 against both of theirs (k=16 is the stretch), and memory at the same k.
  for k in 256 16; do
    awk -v n="$name" -v k="$k" -v o="$ot" -v t="${theirTime[$k]}" -v om="${ourMemory[$k]}" -v tm="${theirMemory[$k]}" \
      'BEGIN { printf "  %s: --colours 256 against their k=%d: %.2fx the time, %s; peak RSS at k=%d: %.1f / %.1f MB, %s\n",
        n, k, o / t, o <= t ? "met" : "NOT met", k, om / 1024, tm / 1024, om <= tm ? "met" : "NOT met" }' >>"$bench_tmp/aims"
  done
}

bench_compare_table() {  # batch, folder of pictures
  local batch=$1 folder=$2 picture
  bench_tmp=$(mktemp -d)
  echo "== whole process: tintwell-batch --colours k against convert IN -dither None -colors k OUT.gif"
  echo "   (median of $bench_runs, wall time; ratio = ours / theirs, below 1 is faster; peak RSS ours / theirs)"
  echo "| picture | colours | ours k=16 | theirs k=16 | ratio | RSS k=16 | ours k=256 | theirs k=256 | ratio | RSS k=256 |"
  echo "|---|---|---|---|---|---|---|---|---|---|"
  for picture in "$folder"/*.bmp; do
    bench_compare_picture "$batch" "$picture"
  done
  echo "Where the aims stand (the time at k=16 is the stretch aim):"
  cat "$bench_tmp/aims"
  rm -rf "$bench_tmp"
}

# Where the time of one whole batch process goes, for the aims the table still misses: the
# process is sampled by perf (processor clock, which needs no hardware counters) and the
# symbols that took most samples are printed with their share.
bench_profile() {  # batch, picture, colours
  local batch=$1 picture=$2 colours=$3 dir
  echo "== where the time goes: perf profile of tintwell-batch --colours $colours on $(basename "$picture")"
  echo "   (share of the process's samples per symbol, top 15)"
  if ! command -v perf >/dev/null; then
    echo "   skipped: perf is not installed"
    return 0
  fi
  dir=$(mktemp -d)
  if ! perf record -q -e cpu-clock -o "$dir/perf.data" -- "$batch" "$picture" "$dir/out.gif" --colours "$colours" \
      >/dev/null 2>"$dir/error"; then
    local reason
    reason=$(head -1 "$dir/error")
    echo "   skipped: perf cannot record here${reason:+: $reason} (kernel.perf_event_paranoid is $(cat /proc/sys/kernel/perf_event_paranoid 2>/dev/null))"
    rm -rf "$dir"
    return 0
  fi
  perf report -i "$dir/perf.data" --stdio --no-children --sort symbol 2>/dev/null |
    grep -v '^#' | grep -v '^ *$' | sed -E 's/([[:space:]]+-)*[[:space:]]*$//' | head -15 || true
  echo "   what was tried on these stages, kept and dropped, with its figures: git log -- app/colour"
  rm -rf "$dir"
}
