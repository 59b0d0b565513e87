#!/usr/bin/env bash
# The batch tool as a user runs it: outputs, exit codes and messages.
#   batch_test.sh RUVPELTON_BATCH MAKE_SAMPLE_DAY
set -uo pipefail
batch=$1
make_day=$2
source "$(dirname "$0")/../checks.sh"

archive=$("$make_day" "$work/day")
time=(--time "$work/day/time")

out=$("$batch" list "$archive")
check "list prints the 36 races" test "$(printf '%s\n' "$out" | wc -l)" -eq 36
check "list prints index, tab, race line" test "$(printf '%s\n' "$out" | head -1)" = "$(printf '0\t東京  1R ３歳未勝利 芝2000m')"
check "--sjis prints CP932" test "$("$batch" list "$archive" --sjis | iconv -f CP932 -t UTF-8)" = "$out"

mkdir "$work/out"
"$batch" write "$archive" "${time[@]}" --out "$work/out" --text >"$work/write.log"
check "write --text writes only the text reports" test "$(ls "$work/out" | tr '\n' ' ')" = "s2001012800.txt s2001012803.txt s2001012804.txt "
check "write names each file it wrote" grep -q "written: $work/out/s2001012804.txt" "$work/write.log"
# the race command prints the race's block exactly as the report holds it
"$batch" race "$archive" 1 "${time[@]}" --sjis >"$work/race1.txt"
check "race prints the report's block" grep -qF -f <(head -3 "$work/race1.txt" | tail -1) "$work/out/s2001012804.txt"
check "race block is the report's bytes" perl -e 'local $/; open(A, "<", $ARGV[0]) or die; my $r = <A>; open(B, "<", $ARGV[1]) or die; my $s = <B>; exit(index($s, $r) >= 0 ? 0 : 1)' "$work/race1.txt" "$work/out/s2001012804.txt"

# the day for a spreadsheet: UTF-8 after a byte-order mark, CR LF, a row per runner
mkdir "$work/csv"
"$batch" csv "$archive" "${time[@]}" --out "$work/csv" >"$work/csv.log"
csv=$work/csv/c20010128.csv
check "csv writes c + date + .csv" test "$(ls "$work/csv")" = "c20010128.csv"
check "csv begins with the byte-order mark and the heading row" test "$(head -c 31 "$csv")" = "$(printf '\xef\xbb\xbf日付,場所,R,レース名')"
check "csv has the heading row and the 439 runners, each ended by CR LF" test "$(grep -c $'\r$' "$csv")" -eq 440
check "csv rows are the race's first runner as the race shows it" grep -qF "2001-01-28,東京,1,３歳未勝利,芝,2000,14,1,1,テウイロトソ,ｾﾝ,7,57.5,,横山典,,1.5,,◎,1," "$csv"

# explain: the sample day's 東京 11R (index 10), whose runner 7 the README works by hand
"$batch" explain "$archive" 10 7 "${time[@]}" >"$work/explain7.txt"
check "explain gives the figure's terms" grep -qxF "(s - t) × f ÷ 10 = (605 - 583) × 16 ÷ 10 = 35.2" "$work/explain7.txt"
check "explain gives the runner's five figures and its score" test "$(grep -c '^7番 ' "$work/explain7.txt")" -eq 6
check "explain ends with the bets" test "$(tail -1 "$work/explain7.txt")" = "買い目 枠番連勝 1-7 4-7 6-7 3-7 2-7 1-4"
check "explain without a runner gives every runner's score" test "$("$batch" explain "$archive" 10 "${time[@]}" | grep -cE '^[0-9]+番 .*  評価 ')" -eq 7
check "explain --sjis prints CP932" test "$("$batch" explain "$archive" 10 7 "${time[@]}" --sjis | iconv -f CP932 -t UTF-8)" = "$(cat "$work/explain7.txt")"

# an odds folder that cannot be examined means no odds from it; the day opens
ln -s loop "$work/loop"
unreadable=("$work/loop" "$work/$(printf 'x%.0s' {1..300})")
if [ "$(id -u)" -ne 0 ]; then # root reads a folder whatever its mode
  mkdir -m 000 "$work/locked" && unreadable+=("$work/locked")
fi
for folder in "${unreadable[@]}"; do
  check "--jrdb ${folder:0:60}: the day opens" test "$("$batch" list "$archive" --jrdb "$folder" 2>&1)" = "$out"
done
[ -d "$work/locked" ] && chmod 700 "$work/locked" # so that the scratch folder can go

expect_error() { # description, exit code, message, command...
  local what=$1 code=$2 message=$3; shift 3
  "$@" >"$work/stdout" 2>"$work/stderr"
  local got=$?
  check "$what: exit $code" test "$got" -eq "$code"
  check "$what: says '$message'" grep -qF -- "$message" "$work/stderr"
}
# the sample-day writer takes no option for a folder: it explains itself and writes nothing
mkdir "$work/empty"
for option in --help --colour; do
  (cd "$work/empty" && "$make_day" "$option" >"$work/stdout" 2>"$work/stderr")
  check "make-sample-day $option: exit 2" test $? -eq 2
  check "make-sample-day $option: prints its usage" grep -q "usage: make-sample-day" "$work/stdout" "$work/stderr"
  check "make-sample-day $option: writes nothing" test -z "$(ls -A "$work/empty")"
done

expect_error "race index out of range" 1 "(99)処理対象範囲を越えています" "$batch" race "$archive" 99 "${time[@]}"
expect_error "missing archive" 1 "ruv_den1.kd2がオープンできません" "$batch" list "$work/none.lzh"
expect_error "missing time database" 1 "time.dbxがオープンできません" "$batch" summary "$archive" --time "$work/out"
expect_error "missing output folder" 1 "$work/absent/s2001012804.txt" "$batch" write "$archive" "${time[@]}" --out "$work/absent" --text
expect_error "runner not in the race" 1 "race 10 has 7 runners, no runner 8" "$batch" explain "$archive" 10 8 "${time[@]}"
expect_error "unknown option" 2 "unknown option --colour" "$batch" list "$archive" --colour
# the season ledger of a generated two-day season
"$make_day" --season 2 "$work/season" >/dev/null
mkdir "$work/ledger"
"$batch" ledger "$work/season" --time "$work/season/time" --out "$work/ledger" >"$work/ledger.log"
check "ledger prints the overview" grep -q "^期間 2001-01-06～2001-01-07  開催日 2  レース 72  確定 " "$work/ledger.log"
check "ledger prints the mark and bet tables" grep -q "^合計  " "$work/ledger.log"
check "ledger says the return uses the snapshot's odds" grep -q "スナップショット" "$work/ledger.log"
check "ledger writes the CSV and the page only" test "$(ls "$work/ledger" | tr '\n' ' ')" = "ledger.csv ledger.html "
check "ledger.csv has a heading and a row per race" test "$(wc -l <"$work/ledger/ledger.csv")" -eq 73
check "ledger names its store, by default in the cache folder" grep -qx "成績データベース: ${XDG_CACHE_HOME:-$HOME/.cache}/ruvpelton/season-[0-9a-f]\{16\}\.sqlite" "$work/ledger.log"
# the ledger of the demo's eight-day season stays what it was before the season store, byte
# for byte: from a new store, from the same store with nothing new, and from a store that
# read the season in two steps
golden="$(dirname "$0")/../data/golden/ledger"
"$make_day" --season 8 "$work/season8" >/dev/null
ledger8() { # output folder, store
  mkdir -p "$1"
  "$batch" ledger "$work/season8" --time "$work/season8/time" --out "$1" --store "$2" >"$1.log"
}
ledger8 "$work/new" "$work/s.sqlite"
ledger8 "$work/again" "$work/s.sqlite"
mkdir "$work/aside" && mv "$work/season8"/rv01012* "$work/aside"
ledger8 "$work/first" "$work/steps.sqlite"
mv "$work/aside"/* "$work/season8"
ledger8 "$work/steps" "$work/steps.sqlite"
for run in new again steps; do
  for file in ledger.csv ledger.html; do
    check "$run store: $file is the ledger's of before" cmp "$golden/$file" "$work/$run/$file"
  done
done
rows() { LC_ALL=C sort; }
check "the store's table ledger holds ledger.csv's rows" test "$(sqlite3 -separator , "$work/s.sqlite" 'SELECT * FROM ledger' | rows)" = "$(tail -n +2 "$golden/ledger.csv" | tr -d '\r' | rows)"
expect_error "ledger of a folder without day archives" 1 "$work/ledgerに開催日のデータ" "$batch" ledger "$work/ledger" --time "$work/season/time"
expect_error "ledger with a bad date" 2 "--to takes a date YYMMDD, not '2001-01'" "$batch" ledger "$work/season" --to 2001-01
check "--help explains the options" sh -c "'$batch' --help | grep -q -- '--wars-format 0|1'"
check "--version names the tool and its version" sh -c "'$batch' --version | grep -qx 'ruvpelton-batch (RUV PELTON) [0-9][0-9.]*'"

# the archiver's reason follows the first line of an archive that cannot be opened
printf 'not an archive' >"$work/text.lzh"
expect_error "not an archive" 1 "ruv_den1.kd2がオープンできません" "$batch" list "$work/text.lzh"
check "not an archive: the reason follows" test "$(cat "$work/stderr")" = "$(printf 'ruvpelton-batch: ruv_den1.kd2がオープンできません\nnot an LZH archive')"

# a blank in the work folder's path, a quote in the archive's path
mkdir -p "$work/a b" "$work/say \"hi\""
cp "$archive" "$work/say \"hi\"/rv010128.lzh"
check "a work folder under a path with a blank" test "$(TMPDIR="$work/a b" "$batch" list "$archive" | wc -l)" -eq 36
check "an archive path with a quote" test "$("$batch" list "$work/say \"hi\"/rv010128.lzh" | wc -l)" -eq 36

# a settings file is read only when it is a regular file of a settings file's size
mkfifo "$work/fifo.ini"
expect_error "--ini /dev/zero" 1 "read /dev/zero: not a regular file" timeout 20 "$batch" list "$archive" --ini /dev/zero
expect_error "--ini FIFO" 1 "read $work/fifo.ini: not a regular file" timeout 20 "$batch" list "$archive" --ini "$work/fifo.ini"

# Ended from outside while it waits to write to a reader that does not read: the tool
# breaks off, removes its work folder and ends with 128 + the signal's number.
mkfifo "$work/pipe"
exec 3<>"$work/pipe"
timeout 2 cat /dev/zero >&3 # fills the pipe
for signal in TERM:143 HUP:129 INT:130; do
  mkdir "$work/tmp"
  TMPDIR="$work/tmp" "$batch" list "$archive" >&3 2>"$work/signal.log" &
  pid=$!
  for _ in $(seq 100); do
    ls "$work"/tmp/ruvpelton-*/ruv_den1.kd2 >/dev/null 2>&1 && break
    sleep 0.1
  done
  kill -s "${signal%%:*}" "$pid"
  # a tool that went on waiting for the reader fails the check instead of the test hanging
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -s KILL "$pid" 2>/dev/null
  wait "$pid"
  code=$?
  check "SIG${signal%%:*} ends the tool with ${signal##*:}" test "$code" -eq "${signal##*:}"
  check "SIG${signal%%:*} leaves no work folder" test -z "$(ls -A "$work/tmp")"
  rm -rf "$work/tmp"
done
exec 3>&-

finish
