#!/usr/bin/env bash
# Rewrites the golden output files under tests/data/golden from the sample day, after
# a deliberate change of an output layout (or of the sample day). Read the diff before
# committing: every changed byte is a changed output file.
#   scripts/update-golden.sh [BUILD_DIR]      (default: build/check)
# The reports are the same in both styles; the WARS file and the RUV text file are kept
# in each style: format0/ (old WARS header, old OVERS) and format1/ (year-2000, new OVERS).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/check}" && pwd)
golden="$root/tests/data/golden"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tools/sampleday/make-sample-day" "$work/day" >/dev/null
: >"$work/empty.ini" # an empty settings file: every setting at its default
for style in 0 1; do
  mkdir -p "$work/out$style"
  "$build/bin/ruvpelton-batch" write "$work/day/rv010128.lzh" --ini "$work/empty.ini" \
    --time "$work/day/time" --out "$work/out$style" --text --html --wars --ruv \
    --wars-format "$style" --ruv-format "$style" >/dev/null
done
cmp -s <(cd "$work/out0" && cat s*) <(cd "$work/out1" && cat s*) ||
  { echo "the reports differ between the styles" >&2; exit 1; }

rm -rf "$golden"
mkdir -p "$golden/reports" "$golden/format0" "$golden/format1"
cp "$work"/out0/s* "$golden/reports/"
for style in 0 1; do
  cp "$work/out$style"/w*.txt "$work/out$style"/q*.txt "$golden/format$style/"
done
(cd "$golden" && find . -type f | sort)
