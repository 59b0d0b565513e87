#!/usr/bin/env bash
# Takes docs/main-window-day.png: the program from a build folder, started on Xvfb on the
# generated sample day (named on its command line, with a settings file of its own that
# points the time folder at the day's), with a race double-clicked in the expanded race
# index, so that the index, the race heading, the prediction grid and the bet lines are
# all seen. Needs xvfb, xauth and imagemagick; the clicks go through the X test extension
# (libXtst), which Xvfb has.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/check}" && pwd)
race_y=${RACE_Y:-272} # the pointer's height over 東京 11R in the index, in screen pixels
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$build/bin/ruvpelton" "$build/bin/ruvpelton.html" "$work/"
archive=$("$build/tools/sampleday/make-sample-day" "$work/demo")
printf '[Folder]\r\nInDenm=%s/demo/\r\nOutTxt=%s/\r\nTime=%s/demo/time/\r\n[Pos]\r\nFormMain=0,0,900,640,-1,-1,-1,-1,0\r\n' \
  "$work" "$work" "$work" | iconv -f UTF-8 -t CP932 > "$work/day.ini"

cat > "$work/take.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
out=$2
archive=$3
race_y=$4
cd "$work"
XDG_RUNTIME_DIR="$work" ./ruvpelton --ini "$work/day.ini" "$archive" > run.log 2>&1 &
program=$!
sleep 6
RACE_Y=$race_y python3 - <<'PY'
import ctypes, os, time
x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
xtst = ctypes.cdll.LoadLibrary("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = ctypes.c_void_p(x11.XOpenDisplay(None))
def move(x, y):
    xtst.XTestFakeMotionEvent(display, -1, x, y, 0)
    x11.XFlush(display)
    time.sleep(0.4)
def click():
    for down in (1, 0):
        xtst.XTestFakeButtonEvent(display, 1, down, 0)
        x11.XFlush(display)
        time.sleep(0.05)
move(90, int(os.environ["RACE_Y"]))   # a race in the index
click()
click()
move(600, 600)
time.sleep(2)
PY
import -window root "$work/root.png"
kill "$program"
convert "$work/root.png" -crop 900x640+0+0 +repage "$out"
INNER
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/take.sh" "$work" "$root/docs/main-window-day.png" \
  "$archive" "$race_y"
echo "docs/main-window-day.png written"
