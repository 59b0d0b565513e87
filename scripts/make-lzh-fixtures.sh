#!/usr/bin/env bash
# Makes the compressed LZH archives under tests/data once, with Debian's jlha-utils
# (apt-get install jlha-utils). They are committed, so the build never needs Java.
#   scripts/make-lzh-fixtures.sh BUILD_DIR
set -euo pipefail
build=${1:?build folder with make-sample-day}
data=$(cd "$(dirname "$0")/../tests/data" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

"$build/tools/sampleday/make-sample-day" --records "$work/lower"
"$build/tools/sampleday/make-sample-day" --records --upper "$work/upper"

pack() { # archive, jlha switches, folder
  rm -f "$data/$1"
  (cd "$3" && jlha "$2" "$data/$1" $(ls))
  # jlha exits 0 even after skipping a file: check that all three went in
  [ "$(jlha l "$data/$1" | grep -ci 'ruv_')" -eq 3 ] || { echo "$1 is incomplete" >&2; exit 1; }
}
pack small_day_lh5.lzh c2o5y "$work/lower"
pack small_day_lh7_level1.lzh c1o7y "$work/lower"
pack upper_case_members_lh6.lzh c2o6y "$work/upper"
