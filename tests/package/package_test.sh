#!/usr/bin/env bash
# The Debian package as a user gets it: built with CPack from a release build, its
# contents and control fields checked, then unpacked into a scratch root whose programs
# run there: the installed layout works as it is.
#   package_test.sh BUILD MAKE_SAMPLE_DAY
set -uo pipefail
build=$(cd "$1" && pwd)
make_day=$2
source "$(dirname "$0")/../checks.sh"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
arch=$(dpkg --print-architecture)
(cd "$build" && cpack -G DEB -B "$work/cpack" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$work/cpack/ruvpelton_${version}_${arch}.deb
check "cpack makes ruvpelton_${version}_${arch}.deb" test -f "$deb"

# the files of the package, no more and no fewer
cat >"$work/expected" <<LIST
./usr/bin/ruvpelton
./usr/bin/ruvpelton-batch
./usr/share/applications/ruvpelton.desktop
./usr/share/doc/ruvpelton/changelog.gz
./usr/share/doc/ruvpelton/copyright
./usr/share/icons/hicolor/256x256/apps/ruvpelton.png
./usr/share/icons/hicolor/32x32/apps/ruvpelton.png
./usr/share/icons/hicolor/scalable/apps/ruvpelton.svg
./usr/share/man/ja/man1/ruvpelton-batch.1.gz
./usr/share/man/ja/man1/ruvpelton.1.gz
./usr/share/man/man1/ruvpelton-batch.1.gz
./usr/share/man/man1/ruvpelton.1.gz
./usr/share/metainfo/io.github.ruvpelton.RuvPelton.metainfo.xml
./usr/share/ruvpelton/ruvpelton.html
./usr/share/ruvpelton/sample/j010128.lzh
./usr/share/ruvpelton/sample/jrdb/jrdb010128.lzh
./usr/share/ruvpelton/sample/rv010128.lzh
./usr/share/ruvpelton/sample/rx/rx010128.txt
./usr/share/ruvpelton/sample/time/time.dbx
LIST
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort >"$work/contents"
check "the package holds exactly the programs and their files" diff "$work/expected" "$work/contents"
check "the programs are executable by everyone, owned by root" \
  test "$(dpkg-deb -c "$deb" | grep -c '^-rwxr-xr-x root/root .* ./usr/bin/ruvpelton')" -eq 2

field() { dpkg-deb -f "$deb" "$1"; }
check "Package: ruvpelton" test "$(field Package)" = ruvpelton
check "Version: $version" test "$(field Version)" = "$version"
check "Architecture: $arch" test "$(field Architecture)" = "$arch"
depends=$(field Depends | tr ',' '\n' | sed 's/^ *//; s/ .*//') # the names alone
for dependency in libc6 libstdc++6 libarchive13 libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 \
  fonts-ipafont-gothic fonts-ipafont-mincho qt6-translations-l10n qt6-qpa-plugins; do
  check "Depends names $dependency" grep -qxF "$dependency" <<<"$depends"
done
check "Maintainer names the developers" grep -q '^RUV PELTON developers <' <<<"$(field Maintainer)"
check "Description has its summary" test "$(field Description | head -1)" = "handicapping of one day of Japanese central horse racing"
if command -v lintian >/dev/null; then
  lintian --fail-on error --no-tag-display-limit "$deb" >"$work/lintian.log" 2>&1
  check "lintian finds no error" test $? -eq 0
  check "lintian finds no warning" test -z "$(grep '^W: ' "$work/lintian.log")"
  cat "$work/lintian.log"
fi

# unpacked into a scratch root, run from there by a user whose home is a scratch folder
root=$work/root
dpkg -x "$deb" "$root"
export HOME=$work/home
unset XDG_CONFIG_HOME
mkdir -p "$HOME"
batch=$root/usr/bin/ruvpelton-batch
check "installed ruvpelton-batch --version" test "$("$batch" --version | head -1)" = "ruvpelton-batch (RUV PELTON) $version"
check "installed ruvpelton --version" test "$("$root/usr/bin/ruvpelton" --version | head -1)" = "ruvpelton (RUV PELTON) $version"
# the sample day the package ships, tried as the help tells a newcomer to
sample=$root/usr/share/ruvpelton/sample
archive=$sample/rv010128.lzh
check "the shipped sample day is the generated one" cmp "$archive" "$("$make_day" "$work/day")"
out=$("$batch" list "$archive")
check "installed list prints the sample day's 36 races" test "$(printf '%s\n' "$out" | wc -l)" -eq 36
check "installed list prints the first race" test "$(printf '%s\n' "$out" | head -1)" = "$(printf '0\t東京  1R ３歳未勝利 芝2000m')"
# the installed tool reads the settings of the user's config folder, not of /usr/bin
mkdir -p "$HOME/.config/ruvpelton" "$work/out"
printf '[Folder]\r\nTime=%s/\r\nOutTxt=%s/\r\n' "$sample/time" "$work/out" >"$HOME/.config/ruvpelton/ruvpelton.ini"
"$batch" csv "$archive" >/dev/null
check "installed csv finds its folders in ~/.config/ruvpelton/ruvpelton.ini" test -s "$work/out/c20010128.csv"

# the man pages render without a warning, in both languages
for page in man/man1/ruvpelton.1.gz man/man1/ruvpelton-batch.1.gz man/ja/man1/ruvpelton.1.gz man/ja/man1/ruvpelton-batch.1.gz; do
  check "$page renders cleanly" test -z "$(zcat "$root/usr/share/$page" | preconv | groff -man -Tutf8 -ww -z 2>&1)"
done
check "man ruvpelton-batch finds the installed page" sh -c "MANPATH='$root/usr/share/man' man -w ruvpelton-batch | grep -qx '$root/usr/share/man/man1/ruvpelton-batch.1.gz'"

# the desktop entry, its .lzh association and the AppStream metadata
desktop=$root/usr/share/applications/ruvpelton.desktop
check "the desktop entry offers the program for LZH archives" grep -qx 'MimeType=application/x-lha;application/x-lzh-compressed;' "$desktop"
check "the shared MIME database calls *.lzh application/x-lha" grep -qx 'application/x-lha:\*\.lzh' /usr/share/mime/globs
if command -v desktop-file-validate >/dev/null; then
  check "desktop-file-validate accepts the desktop entry" desktop-file-validate "$desktop"
fi
if command -v update-desktop-database >/dev/null && command -v xdg-mime >/dev/null; then
  update-desktop-database "$root/usr/share/applications"
  check "xdg-mime opens .lzh archives with the program" test "$(XDG_DATA_DIRS="$root/usr/share:/usr/share" XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" xdg-mime query default application/x-lha)" = ruvpelton.desktop
fi
if command -v appstreamcli >/dev/null; then
  check "appstreamcli validates the metadata" appstreamcli validate --no-net "$root/usr/share/metainfo/io.github.ruvpelton.RuvPelton.metainfo.xml"
fi

finish
