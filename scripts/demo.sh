#!/usr/bin/env bash
# The main job on the generated sample day: writes the day (race archive, odds archives,
# RX file, time database), writes the four day files, then prints the marks and bets of
# every race.
set -euo pipefail
build=${1:?release build folder}
demo="$build/demo"
rm -rf "$demo"
archive=$("$build/tools/sampleday/make-sample-day" "$demo")
batch="$build/tools/batch/ruvpelton-batch"
mkdir -p "$demo/out"
echo "Sample day: $archive"
echo
echo "== Writing the day's files"
"$batch" write "$archive" --time "$demo/time" --out "$demo/out" --text --html --wars --ruv
echo
echo "== Marks and bets of every race (index, race, marks, bets)"
"$batch" summary "$archive" --time "$demo/time"
echo
echo "The day's files are in $demo/out. One race in full:"
echo "  $batch race $archive 11 --time $demo/time"
