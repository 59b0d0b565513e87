#!/usr/bin/env bash
# The main job on the generated sample day: writes the day (race archive, odds archives,
# RX file, time database), writes the four day files, prints the marks and bets of every
# race, prints the ledger of a generated 8-day season, then starts the window on the day
# when there is a display (or says how to).
set -euo pipefail
build=${1:?release build folder}
demo="$build/demo"
rm -rf "$demo"
archive=$("$build/tools/sampleday/make-sample-day" "$demo")
batch="$build/bin/ruvpelton-batch"
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
echo "How the figures, score and mark of 東京 11R's runner 7 came about:"
echo "  $batch explain $archive 10 7 --time $demo/time"

# A sample season beside the day: eight racing days whose later horse records hold the
# earlier days' results, and how the program's marks and bets did over them.
season="$demo/season"
"$build/tools/sampleday/make-sample-day" --season 8 "$season" > /dev/null
mkdir -p "$demo/ledger"
echo
echo "== The season ledger of an 8-day sample season ($season)"
"$batch" ledger "$season" --time "$season/time" --out "$demo/ledger" --market

# The window on the same day, with settings of its own: the demo's time database, the
# demo's output folder and the day's folder for the open dialog (CP932 text, CR LF, as
# the program writes its settings file). The run writes its settings back there.
ini="$demo/ruvpelton.ini"
dir=$(cd "$demo" && pwd)
printf '[Folder]\r\nInDenm=%s/\r\nOutTxt=%s/out/\r\nTime=%s/time/\r\n' "$dir" "$dir" "$dir" |
  iconv -f UTF-8 -t CP932 > "$ini"
program="$build/bin/ruvpelton"
echo
if [ ! -x "$program" ]; then
  echo "The window was not built (RUVPELTON_GUI=OFF)."
elif [ -n "${DISPLAY:-}" ]; then
  echo "== Starting the window on the sample day"
  "$program" --ini "$ini" "$archive" > /dev/null 2>&1 &
else
  echo "No display: start the window on the sample day with"
  echo "  $program --ini $ini $archive"
fi
