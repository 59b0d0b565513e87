#!/usr/bin/env bash
# make fuzz-merge: folds what `make fuzz` grew (build/fuzz/run/TARGET/corpus) into the
# committed corpora, minimised by libFuzzer's -merge=1: the named seeds stay, and of the
# grown inputs only those that add coverage to them are kept, under their content's hash.
#   scripts/fuzz-merge.sh [TARGET...]     (default: every target with a grown corpus)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for run in "$build"/run/*/corpus; do
    [ -d "$run" ] && targets+=("$(basename "$(dirname "$run")")")
  done
fi
[ ${#targets[@]} -gt 0 ] || { echo "nothing grown: run make fuzz first" >&2; exit 1; }
[ -w /dev/shm ] && export TMPDIR=/dev/shm

for target in "${targets[@]}"; do
  committed=tests/fuzz/corpus/$target
  merged=$(mktemp -d)
  trap 'rm -rf "$merged"' EXIT
  # the named seeds first: -merge=1 keeps what its first folder holds
  find "$committed" -maxdepth 1 -type f ! -regex '.*/[0-9a-f]\{40\}' -exec cp {} "$merged" \;
  # whole days are large: of their grown inputs only the small ones are kept, so that
  # every corpus together stays a few megabytes
  grown=$(mktemp -d)
  case $target in
    race_records | day_odds | day_archive) size=(-size -12k) ;;
    *) size=() ;;
  esac
  find "$committed" "$build/run/$target/corpus" -maxdepth 1 -type f "${size[@]}" \
    -exec cp -n {} "$grown" \;
  "$build/tests/fuzz/fuzz_$target" -merge=1 "$merged" "$grown" \
    >"$build/run/$target/merge.log" 2>&1
  rm -rf "$grown"
  find "$committed" -maxdepth 1 -type f -regex '.*/[0-9a-f]\{40\}' -delete
  cp -n "$merged"/* "$committed"/
  rm -rf "$merged"
  printf '%-14s %5d inputs %6d KiB\n' "$target" "$(ls "$committed" | wc -l)" \
    "$(du -sk "$committed" | cut -f1)"
done
