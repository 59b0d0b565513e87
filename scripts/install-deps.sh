#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the demo need, and those
# named as arguments (make package-check adds lintian), only when one of them is missing.
#   scripts/install-deps.sh [PACKAGE...]
set -euo pipefail
packages=(
  "$@"
  build-essential cmake ninja-build pkg-config clang libclang-rt-dev ccache clang-format
  libgtest-dev libgmock-dev
  libarchive-dev libsqlite3-dev sqlite3
  qt6-base-dev
  xvfb xauth imagemagick fonts-ipafont-gothic fonts-ipafont-mincho
  qt6-translations-l10n xdg-utils
  dpkg-dev appstream desktop-file-utils
  locales
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
