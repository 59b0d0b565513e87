#!/usr/bin/env bash
# Takes docs/main-window.png: the program from a build folder, started on Xvfb in a
# folder of its own beside a generated time database, with its ファイル menu dropped down
# and the pointer on 開く(&O), so that the menus, the hint in the status bar, the tool bar
# and the logo are all seen. Needs xvfb, xauth and imagemagick; the clicks go through the
# X test extension (libXtst), which Xvfb has.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/check}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cp "$build/bin/ruvpelton" "$build/bin/ruvpelton.html" "$work/"
"$build/tools/sampleday/make-sample-day" "$work/demo" > /dev/null
printf '[Folder]\r\nInDenm=%s/demo/\r\nTime=%s/demo/time/\r\n' "$work" "$work" > "$work/ruvpelton.ini"

cat > "$work/take.sh" <<'INNER'
#!/usr/bin/env bash
set -euo pipefail
work=$1
out=$2
cd "$work"
XDG_RUNTIME_DIR="$work" ./ruvpelton > run.log 2>&1 &
program=$!
sleep 5
python3 - <<'PY'
import ctypes, time
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
        time.sleep(0.2)
move(40, 15)   # the menu bar's ファイル(F)
click()
move(60, 43)   # its first item, 開く(O)
move(62, 44)
time.sleep(1)
PY
import -window root "$work/root.png"
kill "$program"
convert "$work/root.png" -crop 738x496+0+0 +repage "$out"
INNER
mkdir -p "$root/docs"
xvfb-run -a -s "-screen 0 1024x768x24" bash "$work/take.sh" "$work" "$root/docs/main-window.png"
echo "docs/main-window.png written"
