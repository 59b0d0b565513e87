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
check "write names each file it wrote" grep -q "書き込みました: $work/out/s2001012804.txt" "$work/write.log"
# the files that write replaces keep their modes
chmod 600 "$work/out/s2001012804.txt" && chmod 640 "$work/out/s2001012800.txt"
"$batch" write "$archive" "${time[@]}" --out "$work/out" --text >/dev/null
check "write keeps the modes of the files it replaces" test "$(cd "$work/out" && stat -c '%a' s2001012804.txt s2001012800.txt | tr '\n' ' ')" = "600 640 "
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
check "explain without a runner gives every runner's score" test "$("$batch" explain "$archive" 10 "${time[@]}" | grep -cE '^[0-9]+番 .*  評価点 ')" -eq 7
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
# --out names a folder that is made with its parents, as mkdir -p makes it; a file is no folder
for command in "write $archive --text" "csv $archive" "ledger $work/day"; do
  # shellcheck disable=SC2086
  "$batch" $command "${time[@]}" --out "$work/made/${command%% *}/deeper" >/dev/null 2>&1
  check "${command%% *} makes its missing output folder" test -n "$(ls "$work/made/${command%% *}/deeper")"
  expect_error "${command%% *} into a file" 1 "$work/race1.txt: 出力先に指定されたのはフォルダではなくファイルです" \
    "$batch" $command "${time[@]}" --out "$work/race1.txt"
done
# a race is named by its index in the list or, as a user writes it, by venue and number
for name in 10 東京11 東京11R; do
  check "race $name is 東京11R" test "$("$batch" race "$archive" "$name" "${time[@]}" | sed -n 3p)" = "$("$batch" race "$archive" 10 "${time[@]}" | sed -n 3p)"
done
expect_error "a race the day does not hold" 1 "阪神3R はこの開催日にありません。開催日のレース: 東京 1～12R, 京都 1～12R, 小倉 1～12R" \
  "$batch" explain "$archive" 阪神3R "${time[@]}"
expect_error "runner not in the race" 1 "の出走馬は 7 頭です: 8番はいません" "$batch" explain "$archive" 10 8 "${time[@]}"
expect_error "unknown option" 2 "知らないオプションです: --colour" "$batch" list "$archive" --colour
# the season ledger of a generated four-day season
"$make_day" --season 4 "$work/season" >/dev/null
mkdir "$work/ledger"
"$batch" ledger "$work/season" --time "$work/season/time" --out "$work/ledger" >"$work/ledger.log"
check "ledger prints the overview" grep -q "^期間 2001-01-06～2001-01-14  開催日 4  レース 144  確定 " "$work/ledger.log"
check "ledger prints the mark and bet tables" grep -q "^合計  " "$work/ledger.log"
check "ledger says the return uses the snapshot's odds" grep -q "スナップショット" "$work/ledger.log"
check "ledger writes its CSV files and the page only" test "$(ls "$work/ledger" | tr '\n' ' ')" = "breakdown.csv calibration.csv ledger.csv ledger.html market.csv "
check "ledger prints the market's tables only when asked" test "$(grep -c '^\[単勝回収率の差' "$work/ledger.log")" -eq 0
check "ledger always says how ◎ did against the favourite" grep -q "^◎の単勝回収率は1番人気より " "$work/ledger.log"
check "ledger.csv has a heading and a row per race" test "$(wc -l <"$work/ledger/ledger.csv")" -eq 145
check "ledger names its store, by default in the cache folder" grep -qx "成績データベース: ${XDG_CACHE_HOME:-$HOME/.cache}/ruvpelton/season-[0-9a-f]\{16\}\.sqlite" "$work/ledger.log"
# a replay under another rule sets the defaults beside it, with the difference and a warning
mkdir "$work/replay"
"$batch" ledger "$work/season" --time "$work/season/time" --out "$work/replay" --rule good=0.8,margin=0.05 >"$work/replay.log"
check "replay names its rule" grep -qx "条件: good=0.8,margin=0.05,scored=0.75,min-odds=0,tickets=6" "$work/replay.log"
check "replay shows the defaults beside it" grep -q "^既定の条件: " "$work/replay.log"
check "replay gives the difference with its interval" grep -q "^回収率の差: .*(95%: " "$work/replay.log"
check "replay warns that a rule chosen on a season flatters it" grep -q "実力以上に良く見えます" "$work/replay.log"
check "replay writes its own ledger" test -s "$work/replay/ledger.csv"
# a sweep of min-odds: a row per value, sweep.csv, and never more tickets as min-odds rises
"$batch" ledger "$work/season" --time "$work/season/time" --out "$work/replay" --sweep min-odds=0:30:2.5 >"$work/sweep.log"
check "sweep prints a row per value" test "$(grep -c "^ *[0-9.]\+ \+[0-9]\+ \+[0-9]\+ " "$work/sweep.log")" -eq 13
check "sweep.csv has its heading after a byte-order mark" test "$(head -1 "$work/replay/sweep.csv")" = $'\xef\xbb\xbfvalue,bet_races,tickets,hits,stake,return,return_rate,diff,diff_low,diff_high\r'
check "sweep.csv: the defaults' row differs by nothing" grep -q $'^0,.*,0.0000,0.0000,0.0000\r$' "$work/replay/sweep.csv"
check "sweep: tickets never grow as min-odds rises" awk -F, 'NR > 2 && $3 > last { bad = 1 } NR > 1 { last = $3 } END { exit bad }' "$work/replay/sweep.csv"
check "sweep warns that a rule chosen on a season flatters it" grep -q "実力以上に良く見えます" "$work/sweep.log"
check "sweep: ledger.html draws the return against the value with its band and the default" \
  grep -q '<polygon fill=.*既定 0<' <(tr -d '\n' <"$work/replay/ledger.html")
# a rule chosen on the first days is judged on a later one: the judge's two lines are the
# replay of that day alone, counted through the ledger's own range
"$batch" ledger "$work/season" "${time[@]}" --out "$work/replay" --to 010107 --judge 010113:010113 --rule good=0.8,margin=0.05 >"$work/judge.log"
"$batch" ledger "$work/season" "${time[@]}" --out "$work/replay" --from 010113 --to 010113 --rule good=0.8,margin=0.05 >"$work/alone.log"
check "judge names its range" grep -q "^判定の期間 2001-01-13～2001-01-13: " "$work/judge.log"
check "judge: the rule and the defaults on the later day as that day's own replay" test \
  "$(sed -n '/^判定の期間/,$p' "$work/judge.log" | grep -E '^(この条件|既定の条件|回収率の差): ')" = \
  "$(grep -E '^(この条件|既定の条件|回収率の差): ' "$work/alone.log")"
"$batch" ledger "$work/season" "${time[@]}" --out "$work/replay" --to 010107 --judge 010113:010113 --sweep tickets=1:6:1 >/dev/null
check "a judged sweep writes a row per value for the later range" test "$(wc -l <"$work/replay/sweep-judge.csv")" -eq 7
expect_error "judge not after --to" 1 "--judge: 判定の期間は条件を選ぶ期間の終わりより後に始まり" "$batch" ledger "$work/season" "${time[@]}" --to 010113 --judge 010113:010114 --rule good=0.8
expect_error "judge without a rule" 2 "--judge は --rule か --sweep と使います" "$batch" ledger "$work/season" "${time[@]}" --judge 010113:010114
while IFS='|' read -r rule message; do
  expect_error "rule $rule" 1 "$message" "$batch" ledger "$work/season" --time "$work/season/time" --out "$work/replay" --rule "$rule"
done <<'RULES'
colour=1|知らない条件です: colour
good=0|条件 good の値 0 は範囲外です
margin=1|条件 margin の値 1 は範囲外です
scored=1.5|条件 scored の値 1.5 は範囲外です
min-odds=-1|条件 min-odds の値 -1 は範囲外です
tickets=7|条件 tickets の値 7 は範囲外です
tickets=2.5|条件 tickets の値 2.5 は範囲外です
good=abc|条件 good の値が数ではありません: abc
good|条件は KEY=VALUE で書いてください: good
RULES
while IFS='|' read -r sweep message; do
  expect_error "sweep $sweep" 1 "$message" "$batch" ledger "$work/season" --time "$work/season/time" --out "$work/replay" --sweep "$sweep"
done <<'SWEEPS'
min-odds=0:300:1|掃引の値は 200 個までです
good=0:1|掃引は KEY=FROM:TO:STEP で書いてください
margin=0.1:0:0.01|掃引の STEP は正で、TO は FROM 以上にしてください
good=0:1:0.1|条件 good の値 0 は範囲外です
SWEEPS
# the ledger of the demo's eight-day season is the golden one byte for byte (its chart
# leaves out the two last days, which no later day settles): from a new store, from the
# same store with nothing new, and from a store that read the season in two steps
golden="$(dirname "$0")/../data/golden/ledger"
"$make_day" --season 8 "$work/season8" >/dev/null
ledger8() { # output folder, store
  mkdir -p "$1"
  "$batch" ledger "$work/season8" --time "$work/season8/time" --out "$1" --store "$2" "${@:3}" >"$1.log"
}
ledger8 "$work/new" "$work/s.sqlite" --market
check "ledger --market prints the difference of ◎ and the favourite with its interval" grep -qx "◎の単勝回収率は1番人気より [-+][0-9.]*% [高低]い.*、95%区間は [-+][0-9.]*%～[-+][0-9.]*% で.*" "$work/new.log"
check "ledger --market prints that sentence once, under its table" test "$(grep -c '^◎の単勝回収率は1番人気より' "$work/new.log")" -eq 1
check "ledger --market says the demo season is too short to fit" grep -q "^確定レースが少なすぎるため" "$work/new.log"
ledger8 "$work/again" "$work/s.sqlite"
mkdir "$work/aside" && mv "$work/season8"/rv01012* "$work/aside"
ledger8 "$work/first" "$work/steps.sqlite"
mv "$work/aside"/* "$work/season8"
ledger8 "$work/steps" "$work/steps.sqlite"
# the ledger names the time database it used, wherever it lies; the rest is golden
for run in new again steps; do
  check "$run store: ledger.html names the time database" grep -qx "<p>タイムデータ: $work/season8/time/time.dbx</p>" "$work/$run/ledger.html"
  check "$run store: the summary names the time database" grep -qx "タイムデータ: $work/season8/time/time.dbx" "$work/$run.log"
  for file in ledger.csv breakdown.csv ledger.html market.csv calibration.csv; do
    check "$run store: $file is the ledger's of before" cmp "$golden/$file" <(grep -v '^<p>タイムデータ: ' "$work/$run/$file")
  done
done
rows() { LC_ALL=C sort; }
check "the store's table ledger holds ledger.csv's rows" test "$(sqlite3 -separator , "$work/s.sqlite" 'SELECT * FROM ledger' | rows)" = "$(tail -n +2 "$golden/ledger.csv" | tr -d '\r' | rows)"
expect_error "ledger of a folder without day archives" 1 "$work/ledgerに開催日のデータ" "$batch" ledger "$work/ledger" --time "$work/season/time"
expect_error "ledger with a bad date" 2 "--to には日付を YYMMDD で指定してください ('2001-01' は使えません)" "$batch" ledger "$work/season" --to 2001-01
# the ledger's files take their places together: when one cannot be written, none does
mkdir -p "$work/together/ledger.html" && printf 'earlier\r\n' >"$work/together/ledger.csv"
expect_error "ledger whose page cannot be written" 1 "ruvpelton-batch: 入出力エラー(作成): $work/together/ledger.html (フォルダです (Is a directory))" \
  "$batch" ledger "$work/season" --time "$work/season/time" --out "$work/together"
check "ledger whose page cannot be written: the CSV file stays" test "$(cat "$work/together/ledger.csv")" = $'earlier\r'

# Seasons gone wrong: a copy of the season changed by a few commands, over a folder that
# holds a good ledger. Days are known by the date inside their archives and counted once;
# what is wrong is said, and a run that reads no day writes nothing.
broken() { # description, exit code, overview's end, same tables (yes/no), stderr, commands
  local what=$1 code=$2 ending=$3 same=$4 said=$5
  rm -rf "$work/broken" "$work/kept" "$work/broken.sqlite" && cp -r "$work/season" "$work/broken" && mkdir "$work/kept"
  cp "$work/ledger/ledger.csv" "$work/kept/"
  (cd "$work/broken" && eval "$6")
  "$batch" ledger "$work/broken" --time "$work/season/time" --out "$work/kept" \
    --store "$work/broken.sqlite" >"$work/stdout" 2>"$work/stderr"
  check "$what: exit $code" test $? -eq "$code"
  check "$what: says so" test "$(cat "$work/stderr")" = "$(printf "$said" "$work/broken")"
  if [ "$code" -ne 0 ]; then
    check "$what: writes nothing" cmp -s "$work/kept/ledger.csv" "$work/ledger/ledger.csv"
    check "$what: makes nothing" test "$(ls -A "$work/kept")" = ledger.csv
    return
  fi
  check "$what: the overview" test "$(head -1 "$work/stdout")" = "$(head -1 "$work/ledger.log")$ending"
  [ "$same" = yes ] && check "$what: the tables of the season" \
    test "$(sed '1d;/^書き込みました: /d;/^成績データベース: /d' "$work/stdout")" = "$(sed '1d;/^書き込みました: /d;/^成績データベース: /d' "$work/ledger.log")"
}
mismatch="名前の日付 2001-01-%s と中身の日付 2001-01-%s が違います: 中身の日付で数えます"
broken "no day readable" 1 "" no "ruvpelton-batch: %sに読める開催日のデータがありません$(for d in 06 07 13 14; do
  printf '\\nrv0101%s.lzh: ruv_den1.kd2がオープンできません\\n%s/rv0101%s.lzh はLZHアーカイブではありません' $d "$work/broken" $d; done)" \
  'for f in rv*.lzh; do printf "not an archive" >"$f"; done'
broken "a day copied under another name" 0 "" yes \
  "警告: rv010108.lzh: $(printf "$mismatch" 08 06); 2001-01-06 の開催日は rv010106.lzh で数えたので数えません" \
  'cp rv010106.lzh rv010108.lzh'
broken "two days' contents swapped" 0 "" yes \
  "警告: rv010113.lzh: $(printf "$mismatch" 13 07)\n警告: rv010107.lzh: $(printf "$mismatch" 07 13)" \
  'mv rv010107.lzh x && mv rv010113.lzh rv010107.lzh && mv x rv010113.lzh'
broken "a damaged odds archive" 0 "  オッズのない開催日 1" no \
  "警告: rv010106.lzh: j010106.lzh: ruv_ods.kd2がオープンできません $work/broken/j010106.lzh はLZHアーカイブではありません" \
  'printf "not an archive" >j010106.lzh'
broken "entries that are no day archives" 0 "  読めなかったアーカイブ 4" yes \
  "$(printf '読めませんでした: rv0101%s.lzh: %s\\n' 01 リンクが循環しています 02 リンク先がありません \
    03 通常のファイルではありません 04 フォルダです)" \
  'ln -s rv010101.lzh rv010101.lzh && ln -s none rv010102.lzh && mkfifo rv010103.lzh &&
   mkdir rv010104.lzh && mv rv010114.lzh RV010114.LZH && mv j010114.lzh J010114.LZH'
# Standard output that cannot be written ends the tool with a message; a reader that went
# away (a closed pipe, as `| head` leaves it) ends it quietly, as other tools end.
mkfifo "$work/closed"
exec 5<>"$work/closed" 6>"$work/closed" 5<&- # a pipe whose reader is gone
mkdir "$work/full"
for command in "list $archive" "summary $archive ${time[*]}" "explain $archive 10 7 ${time[*]}" \
  "write $archive ${time[*]} --out $work/full --text" "ledger $work/season ${time[*]} --out $work/full"; do
  # shellcheck disable=SC2086
  "$batch" $command >/dev/full 2>"$work/stderr"
  check "${command%% *} into /dev/full: exit 1" test $? -eq 1
  check "${command%% *} into /dev/full: says why" test "$(cat "$work/stderr")" = "ruvpelton-batch: 標準出力に書き込めません: ディスクに空きがありません (No space left on device)"
  # shellcheck disable=SC2086
  "$batch" $command >&6 2>"$work/stderr"
  check "${command%% *} into a closed pipe: exit 141" test $? -eq 141
  check "${command%% *} into a closed pipe: not a word" test ! -s "$work/stderr"
done
exec 6>&-
check "--help explains the options" sh -c "'$batch' --help | grep -q -- '--wars-format 0|1'"
check "--version names the tool and its version" sh -c "'$batch' --version | grep -qx 'ruvpelton-batch (RUV PELTON) [0-9][0-9.]*'"

# the archiver's reason follows the first line of an archive that cannot be opened
printf 'not an archive' >"$work/text.lzh"
expect_error "not an archive" 1 "ruv_den1.kd2がオープンできません" "$batch" list "$work/text.lzh"
check "not an archive: the reason follows" test "$(cat "$work/stderr")" = "$(printf 'ruvpelton-batch: ruv_den1.kd2がオープンできません\n%s/text.lzh はLZHアーカイブではありません' "$work")"

# Every failing case speaks Japanese and names what it is about: no line of its message is
# English alone (the system's or the archiver's original may follow in parentheses).
head -c 300 "$archive" >"$work/cut.lzh"
mkdir -p "$work/garbage" && printf 'SEMXXXX.DBX' >"$work/garbage/time.dbx"
while IFS='|' read -r what named command; do
  # shellcheck disable=SC2086
  eval "$command" >/dev/null 2>"$work/stderr"
  check "$what: fails" test $? -ne 0
  check "$what: every line in Japanese" test -z "$(sed 's/([^()]*)//g' "$work/stderr" | LC_ALL=C grep -v $'[\x80-\xff]')"
  check "$what: names $named" grep -qF -- "$named" "$work/stderr"
done <<CASES
a JRDB archive opened as a day|$work/day/jrdb/jrdb010128.lzh|"$batch" list "$work/day/jrdb/jrdb010128.lzh"
an archive cut short|$work/cut.lzh|"$batch" list "$work/cut.lzh"
a text file as the archive|$work/text.lzh|"$batch" list "$work/text.lzh"
a missing archive|$work/none.lzh|"$batch" list "$work/none.lzh"
a folder as the archive|$work/day|"$batch" list "$work/day"
a garbage time.dbx|$work/garbage/time.dbx|"$batch" summary "$archive" --time "$work/garbage"
a missing time.dbx|$work/out/|"$batch" summary "$archive" --time "$work/out"
a runner the race does not have|東京 11R|"$batch" explain "$archive" 10 8 "\${time[@]}"
a folder as the settings file|$work/day|"$batch" list "$archive" --ini "$work/day"
a missing settings file|$work/none.ini|"$batch" list "$archive" --ini "$work/none.ini"
a missing temporary folder|$work/none|TMPDIR="$work/none" "$batch" list "$archive"
an output file that is a folder|$work/together/ledger.html|"$batch" ledger "$work/season" "\${time[@]}" --out "$work/together"
a day file that cannot be made|/proc/sys/s2001012804.txt|"$batch" write "$archive" "\${time[@]}" --text --out /proc/sys
--from after --to|2001-01-14 が終わり 2001-01-06|"$batch" ledger "$work/season" "\${time[@]}" --from 010114 --to 010106
an unknown option|--colour|"$batch" list "$archive" --colour
standard output full|標準出力|"$batch" list "$archive" >/dev/full
CASES

# a blank in the work folder's path, a quote in the archive's path
mkdir -p "$work/a b" "$work/say \"hi\""
cp "$archive" "$work/say \"hi\"/rv010128.lzh"
check "a work folder under a path with a blank" test "$(TMPDIR="$work/a b" "$batch" list "$archive" | wc -l)" -eq 36
check "an archive path with a quote" test "$("$batch" list "$work/say \"hi\"/rv010128.lzh" | wc -l)" -eq 36

# Settings files as editors save them: UTF-8 (with a byte-order mark or without) or CP932,
# lines ended by CR LF, LF or CR. The day's report goes to the Japanese output folder.
mkdir "$work/出力" "$work/ini"
for case in "UTF-8::\n" "UTF-8:\xef\xbb\xbf:\r\n" "UTF-8::\r" "CP932::\r" "CP932::\r\n"; do
  IFS=: read -r code bom eol <<<"$case"
  printf "$bom[Folder]${eol}OutTxt=$work/出力/${eol}Time=$work/day/time/${eol}[File]${eol}TextOut=1${eol}" |
    iconv -f UTF-8 -t "$code" >"$work/ini/settings.ini"
  "$batch" write "$archive" --ini "$work/ini/settings.ini" >/dev/null
  check "settings in $code, bom '$bom', lines ended by '$eol': the output folder is read" test -f "$work/出力/s2001012804.txt"
  check "settings in $code, bom '$bom', lines ended by '$eol': nothing beside the settings" test "$(ls "$work/ini")" = settings.ini
  rm -f "$work/出力"/*
done
expect_error "--ini names a file that is not there" 1 "ruvpelton-batch: 入出力エラー(読み込み): $work/none.ini (ファイルまたはフォルダがありません (No such file or directory))" \
  "$batch" list "$archive" --ini "$work/none.ini"

# a settings file is read only when it is a regular file of a settings file's size
mkfifo "$work/fifo.ini"
expect_error "--ini /dev/zero" 1 "入出力エラー(読み込み): /dev/zero (通常のファイルではありません)" timeout 20 "$batch" list "$archive" --ini /dev/zero
expect_error "--ini FIFO" 1 "入出力エラー(読み込み): $work/fifo.ini (通常のファイルではありません)" timeout 20 "$batch" list "$archive" --ini "$work/fifo.ini"

# What killed runs left behind (work folders of this user in the temporary folder, files
# beside the outputs) goes at the next run, unless a living run holds its lock.
left=$work/left
mkdir -p "$left/tmp/ruvpelton-Killed" "$left/tmp/ruvpelton-Living" "$left/tmp/other-Killed" "$left/out"
touch "$left/out/.s2001012804.txt.ruvpelton.99999.0.tmp" "$left/out/.s2001012803.txt.ruvpelton.99999.0.tmp" "$left/out/.notes.tmp"
# this shell plays the living run
exec 7<"$left/tmp/ruvpelton-Living" 8<"$left/out/.s2001012803.txt.ruvpelton.99999.0.tmp"
flock -n 7 && flock -n 8
TMPDIR="$left/tmp" "$batch" write "$archive" "${time[@]}" --out "$left/out" --text >/dev/null
check "a run removes the work folders of killed runs only" test "$(ls "$left/tmp" | tr '\n' ' ')" = "other-Killed ruvpelton-Living "
check "a run removes the files killed runs left beside its outputs only" test "$(ls -A "$left/out" | tr '\n' ' ')" = ".notes.tmp .s2001012803.txt.ruvpelton.99999.0.tmp s2001012800.txt s2001012803.txt s2001012804.txt "
exec 7<&- 8<&-

# Ended from outside while it writes the day's files: the tool discards them, every earlier
# file stays byte for byte, the work folder goes, and its lines reach the reader of its
# pipe (as in `ruvpelton-batch ... 2>&1 | cat`). The tool is stopped (SIGSTOP) once its
# files beside appear, and a stop that came after they were put in place is tried again.
mkfifo "$work/ended.pipe"
earlier=(s2001012800.txt s2001012803.txt s2001012804.txt s2001012800.htm s2001012803.htm
  s2001012804.htm w20010128.txt q20010128.txt c20010128.csv)
for case in "TERM:143:write --text --html --wars --ruv" "HUP:129:csv" "INT:130:write --wars --ruv"; do
  signal=${case%%:*} rest=${case#*:}
  code=${rest%%:*} command=${rest#*:}
  what="SIG$signal during ${command%% *}"
  stopped="" got=""
  for _ in $(seq 20); do
    rm -rf "$work/ended" "$work/tmp" && mkdir "$work/ended" "$work/tmp"
    for name in "${earlier[@]}"; do printf 'earlier %s\r\n' "$name" >"$work/ended/$name"; done
    cat "$work/ended.pipe" >"$work/ended.log" &
    reader=$!
    # shellcheck disable=SC2086
    TMPDIR="$work/tmp" "$batch" $command "$archive" "${time[@]}" --out "$work/ended" \
      >"$work/ended.pipe" 2>&1 &
    pid=$!
    until compgen -G "$work/ended/.*.tmp" >/dev/null || ! kill -0 "$pid" 2>/dev/null; do :; done
    kill -s STOP "$pid" 2>/dev/null
    if compgen -G "$work/ended/.*.tmp" >/dev/null &&
      [ "$(cat "$work/ended"/* | grep -c '^earlier ')" -eq ${#earlier[@]} ]; then
      stopped=yes
      kill -s "$signal" "$pid"
    fi
    kill -s CONT "$pid" 2>/dev/null
    wait "$pid"
    got=$?
    wait "$reader"
    [ -n "$stopped" ] && break
  done
  check "$what: stopped while it wrote" test -n "$stopped"
  check "$what: ends the tool with $code" test "$got" -eq "$code"
  check "$what: every earlier file stays as it was" \
    test "$(cd "$work/ended" && for n in *; do printf '%s=%s|' "$n" "$(cat "$n")"; done)" = \
    "$(for n in $(printf '%s\n' "${earlier[@]}" | sort); do printf '%s=earlier %s\r|' "$n" "$n"; done)"
  check "$what: nothing left beside them" test -z "$(cd "$work/ended" && ls -A | grep '^\.')"
  check "$what: no work folder left" test -z "$(ls -A "$work/tmp")"
  check "$what: the reader gets the lines" grep -qx "[0-9]* レースで中止しました: 何も書き込んでいません" "$work/ended.log"
  check "$what: the reader gets the last line" grep -qx "ruvpelton-batch: SIG$signal (.*) で終了しました" "$work/ended.log"
done

finish
