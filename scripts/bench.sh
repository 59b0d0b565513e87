#!/usr/bin/env bash
# make bench: runs every benchmark of a build folder one after another.
#   scripts/bench.sh BUILD_FOLDER
set -euo pipefail
build=${1:?build folder with RUVPELTON_BENCH=ON}
for program in "$build"/bench/bench_*; do
  [ -x "$program" ] || continue
  echo "== $(basename "$program")"
  QT_QPA_PLATFORM=offscreen "$program"
  echo
done
