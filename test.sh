#!/usr/bin/env bash
# Builds Debug with AddressSanitizer and UBSan in build-test/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
tintwell_need_packages "${TINTWELL_BUILD_PACKAGES[@]}" "${TINTWELL_TEST_PACKAGES[@]}"

# Every include points down the layers before anything is built.
scripts/check_includes.sh

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTINTWELL_SANITIZE=ON -DTINTWELL_TESTS=ON >/dev/null
cmake --build build-test

if [ -x scripts/fuzz.sh ]; then
  scripts/fuzz.sh --seconds "${TINTWELL_FUZZ_SECONDS:-30}"
fi

cd build-test
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
ctest --output-on-failure -j2

cd ..
scripts/line_ratio.sh
