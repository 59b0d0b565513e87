#!/usr/bin/env bash
# Takes a picture of the program for docs/, started from a build folder on Xvfb in a
# folder of its own beside a generated sample day, driven by the pointer through the X
# test extension (libXtst, which Xvfb has). Needs xvfb, xauth and imagemagick.
#   scripts/screenshot-window.sh menu [BUILD]  docs/main-window.png: the ファイル menu dropped
#                                              down, the pointer on 開く(&O), so that the
#                                              menus, the hint, the tool bar and the logo show
#   scripts/screenshot-window.sh day [BUILD]   docs/main-window-day.png: the sample day open
#                                              and 東京 11R double-clicked in the race index
#                                              (RACE_Y: its height on the screen, default 272)
#   scripts/screenshot-window.sh open [BUILD]  docs/open-dialog.png: ファイル > 開く(&O)
#                                              clicked, the file-open dialog in Japanese over
#                                              the sample day's folder
#   scripts/screenshot-window.sh error [BUILD] docs/open-error.png: started on an archive that
#                                              is a text file, the error box over the window
#   scripts/screenshot-window.sh tooltip [BUILD]
#                                              docs/figure-tooltip.png: 東京 11R as in day, the
#                                              pointer resting on a figure cell and its
#                                              explanation shown (CELL_X, CELL_Y: the cell,
#                                              default 7番's 前走)
#   scripts/screenshot-window.sh designed [BUILD]  docs/main-window-designed.png: as day, at
#                                              the window's designed size, 738 x 496
#   scripts/screenshot-window.sh odds [BUILD]  docs/race-odds-after-18.png and
#   scripts/screenshot-window.sh training [BUILD]  docs/race-training-after-18.png: at the
#                                              designed size, 東京 9R (18 runners) chosen, then
#                                              東京 10R (7 runners), then its page オッズ or 調　教
#   scripts/screenshot-window.sh chart [BUILD]  docs/figure-chart.png: 東京 9R (18 runners)
#                                              with 指数グラフ shown; two runners added from
#                                              the grid's menu (right click, then グラフに追加
#                                              ADD_DY lower) after a third row was clicked
#                                              (ROW3_Y; the added ROW1_Y, ROW2_Y)
#   scripts/screenshot-window.sh recent [BUILD] docs/recent-days.png: ファイル >
#                                              最近使った開催日 dropped down over three days,
#                                              one of them gone and greyed (RECENT_Y)
#   scripts/screenshot-window.sh ledger [BUILD]
#                                              docs/ledger-window.png: 出力 > 成績集計 on an
#                                              8-day sample season, its folder accepted with
#                                              Enter; the ledger window centres itself at its
#                                              designed size (TFormLedger, 780 x 840)
#   scripts/screenshot-window.sh whatif [BUILD]
#                                              docs/ledger-whatif.png: as ledger, then its
#                                              page 条件を変えて再計算: a sweep of good, judged
#                                              on the last third of the days
#   scripts/screenshot-window.sh breakdown [BUILD]
#                                              docs/ledger-breakdown.png: as ledger, then its
#                                              page 条件別
#   scripts/screenshot-window.sh racelist [BUILD]
#                                              docs/ledger-racelist.png: as breakdown, a click
#                                              on the field 9～12頭 (FIELD_ROW_Y), then the page
#                                              レース一覧 sorted by 的中, hits first (HITS_X)
#   scripts/screenshot-window.sh market [BUILD]
#                                              docs/ledger-market.png: as ledger for a 24-day
#                                              season (enough races for the fits), then its
#                                              page 市場との比較
set -euo pipefail
scene=${1:?menu, day, open, error, tooltip, designed, odds, training, chart, recent, ledger, whatif, market, breakdown or racelist}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${2:-$root/build/check}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$build/bin/ruvpelton" "$build/bin/ruvpelton.html" "$work/"
archive=$("$build/tools/sampleday/make-sample-day" "$work/demo")
folders="[Folder]\r\nInDenm=$work/demo/\r\nOutTxt=$work/\r\nTime=$work/demo/time/\r\n"
# where the designed window shows 東京 11R in the race index and its page tabs
RACE_Y_DESIGNED=${RACE_Y_DESIGNED:-272}
TAB_Y=${TAB_Y:-115}
ODDS_TAB_X=${ODDS_TAB_X:-275}
TRAINING_TAB_X=${TRAINING_TAB_X:-333}
screen=1024x768
crop=+0+0
case "$scene" in
menu)
  ini=$folders
  args=()
  steps="move 40 15 click move 60 43 move 62 44 wait" # ファイル(F), then its 開く(O)
  size=738x496
  out=docs/main-window.png ;;
open)
  ini=$folders
  args=()
  steps="move 40 15 click move 60 43 click move 1000 700 wait wait"
  size=738x496
  out=docs/open-dialog.png
  # the dialog is Japanese whatever the desktop's language (OPEN_LANG=C.UTF-8 shows it)
  export LANG=${OPEN_LANG:-ja_JP.UTF-8} ;;
error)
  printf 'not an archive' > "$work/demo/rv010204.lzh"
  ini=$folders
  args=("$work/demo/rv010204.lzh")
  steps="wait wait"
  size=738x496
  out=docs/open-error.png ;;
day)
  ini="$folders[Pos]\r\nFormMain=0,0,900,640,-1,-1,-1,-1,0\r\n"
  args=("$archive")
  steps="move 90 ${RACE_Y:-272} click click move 600 600 wait wait"
  size=900x640
  out=docs/main-window-day.png ;;
tooltip)
  ini="$folders[Pos]\r\nFormMain=0,0,900,640,-1,-1,-1,-1,0\r\n"
  args=("$archive")
  steps="move 90 ${RACE_Y:-272} click click move ${CELL_X:-800} ${CELL_Y:-271} move ${CELL_X:-800} $((${CELL_Y:-271} + 1)) wait wait"
  size=900x640
  out=docs/figure-tooltip.png ;;
designed|odds|training)
  ini="$folders[Pos]\r\nFormMain=0,0,738,496,-1,-1,-1,-1,0\r\n"
  args=("$archive")
  size=738x496
  nine="move 90 $((RACE_Y_DESIGNED - 36)) click click move 600 480 wait wait"
  ten="move 90 $((RACE_Y_DESIGNED - 18)) click click move 600 480 wait wait"
  case "$scene" in
  designed)
    steps="move 90 $RACE_Y_DESIGNED click click move 600 480 wait wait"
    out=docs/main-window-designed.png ;;
  odds)
    steps="$nine $ten move $ODDS_TAB_X $TAB_Y click move 600 480 wait"
    out=docs/race-odds-after-18.png ;;
  training)
    steps="$nine $ten move $TRAINING_TAB_X $TAB_Y click move 600 480 wait"
    out=docs/race-training-after-18.png ;;
  esac ;;
chart)
  ini="$folders[Pos]\r\nFormMain=0,0,900,700,-1,-1,-1,-1,0\r\nGraph=1\r\nGraphHeight=230\r\n"
  args=("$archive")
  steps="move 90 $((${RACE_Y:-272} - 36)) click click wait move 300 ${ROW3_Y:-233} click"
  for row in "${ROW1_Y:-157}" "${ROW2_Y:-195}"; do
    steps+=" move 800 $row rclick move 830 $((row + ${ADD_DY:-32})) click wait"
  done
  steps+=" move 890 690 wait"
  size=900x700
  out=docs/figure-chart.png ;;
recent)
  cp "$archive" "$work/demo/rv010114.lzh"
  recent="[Recent]\r\nFile1=$archive\r\nCaption1=2001-01-28 東京 京都 中京\r\n"
  recent+="File2=$work/demo/rv010121.lzh\r\nCaption2=2001-01-21 中山 京都\r\n"
  recent+="File3=$work/demo/rv010114.lzh\r\nCaption3=2001-01-14 中山 京都 小倉\r\n"
  ini="$folders$recent"
  args=()
  steps="move 40 15 click move 70 ${RECENT_Y:-87} move 72 ${RECENT_Y:-87} wait wait"
  size=738x496
  out=docs/recent-days.png ;;
ledger|whatif|market|breakdown|racelist)
  days=8 && [ "$scene" = market ] && days=24
  "$build/tools/sampleday/make-sample-day" --season "$days" "$work/season" > /dev/null
  ini="[Folder]\r\nInDenm=$work/season/\r\nOutTxt=$work/\r\nTime=$work/season/time/\r\n"
  args=()
  # 出力(G), then 成績集計(L); Enter takes the folder the dialog opens at
  # LEDGER_STEPS="" stops at the folder dialog, the day archives greyed in it
  steps="move ${OUT_X:-82} 15 click move ${LEDGER_Y_X:-110} ${LEDGER_Y:-170} click wait wait ${LEDGER_STEPS-key Return wait wait wait wait wait wait wait wait wait wait wait wait}"
  # SCREEN=1366x768 shows the window as it opens on a small screen (then SIZE and CROP)
  screen=${SCREEN:-1280x1024}
  size=${SIZE:-780x840}
  crop=${CROP:-+250+92}
  out=docs/ledger-window.png
  if [ "$scene" = whatif ]; then
    # the page's tab, 掃引 with good chosen by the keys, 判定の期間, then 再計算
    steps="$steps move 570 114 click wait move 465 177 click wait key Down key Return wait"
    steps="$steps move 279 233 click wait move 312 264 click wait wait wait"
    out=docs/ledger-whatif.png
  fi
  if [ "$scene" = breakdown ] || [ "$scene" = racelist ]; then
    steps="$steps move 365 114 click wait wait"
    out=docs/ledger-breakdown.png
  fi
  if [ "$scene" = racelist ]; then
    steps="$steps move 330 ${FIELD_ROW_Y:-683} click wait move 450 114 click wait"
    steps="$steps move ${HITS_X:-938} ${HEADING_Y:-173} click wait click wait"
    out=docs/ledger-racelist.png
  fi
  if [ "$scene" = market ]; then
    # the longer season takes longer to read; then the page's tab
    steps="$steps wait wait wait wait wait wait move ${MARKET_TAB_X:-690} 114 click wait"
    out=docs/ledger-market.png
  fi ;;
*)
  echo "unknown scene $scene: menu, day, open, error, tooltip, designed, odds, training, chart, recent, ledger, whatif, market, breakdown or racelist" >&2
  exit 2 ;;
esac
printf "$ini" | iconv -f UTF-8 -t CP932 > "$work/window.ini"

cat > "$work/take.sh" <<'INNER'
#!/usr/bin/env bash
# take.sh WORK OUT SIZE CROP STEPS ARGS...
set -euo pipefail
work=$1 out=$2 size=$3 crop=$4 steps=$5
shift 5
cd "$work"
XDG_RUNTIME_DIR="$work" ./ruvpelton --ini "$work/window.ini" "$@" > run.log 2>&1 &
program=$!
sleep 6
python3 - $steps <<'PY'
import ctypes, sys, time
x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x11.XOpenDisplay(None))
words = sys.argv[1:]
while words:
    step = words.pop(0)
    if step == "move":
        x, y = int(words.pop(0)), int(words.pop(0))
        xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
        x11.XFlush(display)
        time.sleep(0.4)
    elif step in ("click", "rclick"):
        for down in (1, 0):
            xtst.XTestFakeButtonEvent(display, 1 if step == "click" else 3, down, 0)
            x11.XFlush(display)
            time.sleep(0.05)
    elif step == "key":
        code = x11.XKeysymToKeycode(display, x11.XStringToKeysym(words.pop(0).encode()))
        for down in (1, 0):
            xtst.XTestFakeKeyEvent(display, code, down, 0)
            x11.XFlush(display)
            time.sleep(0.05)
    elif step == "wait":
        time.sleep(1)
PY
import -window root "$work/root.png"
kill "$program"
convert "$work/root.png" -crop "$size$crop" +repage "$out"
INNER
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 ${screen}x24" bash "$work/take.sh" "$work" "$root/$out" "$size" "$crop" "$steps" \
  ${args[@]+"${args[@]}"}
echo "$out written"
