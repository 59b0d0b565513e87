#!/usr/bin/env bash
# Renders the sample day's HTML reports in headless Chromium and checks that race names,
# headings and marks come out as Japanese text. The pages carry no character-set
# declaration (as the reports always have), so this shows whether the browser's own
# guess reads them as Shift-JIS. The ledger page of a generated four-day season (UTF-8,
# declared) is checked the same way, its tables and its chart.
#   scripts/check-html-in-browser.sh [BUILD_DIR] [SCREENSHOT.png] [LEDGER_SCREENSHOT.png]
# BUILD_DIR (default build/check) holds make-sample-day and ruvpelton-batch. Without
# chromium on the PATH the check is skipped with a note and exit status 0.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/check}" && pwd)
screenshot=${2:-}
ledger_screenshot=${3:-}

browser=$(command -v chromium || true)
if [ -z "$browser" ]; then
  echo "check-html-in-browser: chromium is not installed; the browser check is skipped"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/tools/sampleday/make-sample-day" "$work/day" >/dev/null
mkdir -p "$work/out"
: >"$work/empty.ini" # an empty settings file: every setting at its default
"$build/bin/ruvpelton-batch" write "$work/day/rv010128.lzh" --ini "$work/empty.ini" \
  --time "$work/day/time" --out "$work/out" --html >/dev/null

flags=(--headless --disable-gpu --no-first-run --disable-background-networking
  --disable-component-update --disable-sync --user-data-dir="$work/profile")
# Chromium refuses to run as root with its sandbox on (containers, CI)
[ "$(id -u)" -eq 0 ] && flags+=(--no-sandbox)

status=0
# venue file, texts that must appear as such in the rendered page (UTF-8)
check_page() {
  local page="$work/$1"; shift
  local dom="$work/$(basename "$page").dom"
  "$browser" "${flags[@]}" --dump-dom "file://$page" >"$dom" 2>/dev/null
  if grep -q $'\xEF\xBF\xBD' "$dom"; then
    echo "FAIL $(basename "$page"): replacement characters in the page" >&2
    status=1
  fi
  for text in "$@"; do
    if ! grep -qF "$text" "$dom"; then
      echo "FAIL $(basename "$page"): \"$text\" is not shown as Japanese text" >&2
      status=1
    fi
  done
}
check_page out/s2001012804.htm 東京新聞杯 若竹賞 "東京 2001年1回8日" 発走 ◎ ○ ▲ 馬番連勝 見送り 前　走 RUV予想
check_page out/s2001012800.htm 京都牝馬特別 紅梅Ｓ "京都 2001年1回8日" ◎ 枠番連勝
check_page out/s2001012803.htm 小倉日経オープン 萌黄賞 "小倉 2001年1回2日" ◎ 買い目

"$build/tools/sampleday/make-sample-day" --season 4 "$work/season" >/dev/null
mkdir -p "$work/ledger"
"$build/bin/ruvpelton-batch" ledger "$work/season" --ini "$work/empty.ini" \
  --time "$work/season/time" --out "$work/ledger" --store "$work/season.sqlite" >/dev/null
check_page ledger/ledger.html 成績集計 "期間 2001-01-06～2001-01-14" "<th>◎</th>" "<th>馬連</th>" \
  スナップショット 回収率の推移（累計） 投資と払戻の推移（累計） "<svg" "<polyline"

if [ -n "$screenshot" ]; then
  "$browser" "${flags[@]}" --window-size=1200,1600 --screenshot="$screenshot" \
    "file://$work/out/s2001012804.htm" 2>/dev/null
  echo "check-html-in-browser: screenshot of s2001012804.htm in $screenshot"
fi

if [ -n "$ledger_screenshot" ]; then
  "$browser" "${flags[@]}" --window-size=900,1400 --screenshot="$ledger_screenshot" \
    "file://$work/ledger/ledger.html" 2>/dev/null
  echo "check-html-in-browser: screenshot of ledger.html in $ledger_screenshot"
fi

[ "$status" -eq 0 ] && echo "check-html-in-browser: the reports read as Japanese text in $("$browser" --version 2>/dev/null || echo chromium)"
exit "$status"
