#!/usr/bin/env bash
# Prints the lines of tests/ against the lines of code in app, jindep, jwin and
# platform: plain line counts of .cpp, .h and .inc files.
set -euo pipefail
cd "$(dirname "$0")/.."

count_lines() {
  find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.inc' \) -print0 |
    xargs -0 cat -- | wc -l
}

tests=$(count_lines tests)
code=$(count_lines app jindep jwin platform)
awk -v t="$tests" -v c="$code" \
  'BEGIN { printf "tests: %d lines, code: %d lines, ratio %.1f%%\n", t, c, (c ? 100 * t / c : 0) }'
