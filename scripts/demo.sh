#!/usr/bin/env bash
# The main job on the generated sample day: writes the day, then lists its races.
set -euo pipefail
build=${1:?release build folder}
demo="$build/demo"
"$build/tools/sampleday/make-sample-day" "$demo" >/dev/null
archive="$demo/rv010128.lzh"
echo "Sample day written to $archive"
echo
echo "== The day's races"
"$build/tools/batch/ruvpelton-batch" list "$archive"
