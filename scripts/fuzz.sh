#!/usr/bin/env bash
# make fuzz: builds the fuzz targets with libFuzzer (clang) in build/fuzz and runs them
# one after another, each for FUZZ_SECONDS (default 180) or, when FUZZ_RUNS is set, for
# that many inputs; then reports runs, coverage and findings per target.
#   scripts/fuzz.sh [TARGET...]     (default: every target)
# New inputs go to build/fuzz/run/TARGET/corpus (the committed corpus stays as it is until
# make fuzz-merge folds them in);
# a finding is written to build/fuzz/run/TARGET/findings and stops that target's run.
set -uo pipefail
cd "$(dirname "$0")/.."
build=${BUILD:-build}/fuzz
seconds=${FUZZ_SECONDS:-180}
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(race_records time_database odds_ruv odds_jrdb rx_odds settings
  day_archive day_odds)

cmake -S . -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_FLAGS_RELEASE="-O1 -gline-tables-only" -DRUVPELTON_FUZZ=ON -DRUVPELTON_GUI=OFF \
  -DRUVPELTON_TESTS=OFF -DRUVPELTON_BENCH=OFF >/dev/null || exit 1
cmake --build "$build" --target "${targets[@]/#/fuzz_}" || exit 1

# extracted members go to memory where it can
[ -w /dev/shm ] && export TMPDIR=/dev/shm

report=()
status=0
for target in "${targets[@]}"; do
  run="$build/run/$target"
  mkdir -p "$run/corpus" "$run/findings"
  limit=(-max_total_time="$seconds")
  [ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
  # the formats that small inputs can exercise are grown small, so the corpus stays small
  case $target in
    day_archive)
      extra=(-max_len=65536)
      cp tests/data/*.lzh "$run/corpus/" ;; # the compressed archives are seeds too
    settings | time_database) extra=(-max_len=4096) ;;
    odds_ruv | odds_jrdb | rx_odds) extra=(-max_len=8192) ;;
    *) extra=() ;;
  esac
  echo "fuzzing $target ..."
  "$build/tests/fuzz/fuzz_$target" "${limit[@]}" "${extra[@]}" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$run/findings/" -dict="tests/fuzz/dict/$target.dict" \
    "$run/corpus" "tests/fuzz/corpus/$target" >"$run/log" 2>&1
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -1)
  speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$run/log" | tail -1)
  cov=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$run/log" | tail -1)
  findings=$(find "$run/findings" -type f | wc -l)
  [ "$findings" -eq 0 ] || status=1
  report+=("$(printf '%-14s %12s %8s/s  %-22s %s finding(s)' "$target" "${runs:-?}" "${speed:-?}" \
    "${cov:-?}" "$findings")")
done

echo
printf '%-14s %12s %10s  %-22s %s\n' target runs speed coverage findings
printf '%s\n' "${report[@]}"
[ "$status" -eq 0 ] || echo "findings are in $build/run/*/findings"
exit "$status"
