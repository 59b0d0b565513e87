#!/usr/bin/env bash
# Renders the program's own SVG drawings under resources/ to the PNG files that the
# program loads (Qt reads PNG without extra modules). Run after changing an SVG; the
# PNG files are committed.
set -euo pipefail
cd "$(dirname "$0")/../resources"
for svg in ruvpelton.svg logo.svg; do
  convert -background none "$svg" -depth 8 "PNG32:${svg%.svg}.png"
done
convert -background none ruvpelton.svg -resize 32x32 -depth 8 PNG32:ruvpelton-32.png
