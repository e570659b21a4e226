#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/fuzz_*.cpp) with clang in build-fuzz/, writes each
# one's seed corpus, and runs each for N seconds (default 30). Exits non-zero when a
# target finds a crash, a leak or a timeout; findings go to build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=30
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds="$2"; shift 2 ;;
    --seconds=*) seconds="${1#*=}"; shift ;;
    *) echo "usage: scripts/fuzz.sh [--seconds N]" >&2; exit 2 ;;
  esac
done

source scripts/deps.sh
tintwell_need_packages "${TINTWELL_BUILD_PACKAGES[@]}" clang libclang-rt-14-dev

cmake -S . -B build-fuzz -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DTINTWELL_FUZZ=ON -DTINTWELL_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

targets=()
for f in fuzz/fuzz_*.cpp; do
  [ -e "$f" ] || continue
  targets+=("$(basename "$f" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz: no targets"
  exit 0
fi
cmake --build build-fuzz --target "${targets[@]}"

mkdir -p build-fuzz/findings
failed=0
for t in "${targets[@]}"; do
  corpus="build-fuzz/corpus/$t"
  mkdir -p "$corpus"
  # Targets that make their own seeds write them and stop; the others run one input.
  TINTWELL_WRITE_SEEDS="$corpus" timeout 120 "build-fuzz/fuzz/$t" -runs=1 >/dev/null 2>&1 || true
  log="build-fuzz/$t.log"
  if "build-fuzz/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="build-fuzz/findings/$t-" "$corpus" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    echo "fuzz: $t survived ${runs:-?} executions in ${seconds}s"
  else
    echo "fuzz: $t FAILED; see $log and build-fuzz/findings/" >&2
    grep -E 'ERROR|SUMMARY|Test unit written' "$log" | head -5 >&2 || true
    failed=1
  fi
done
exit $failed
