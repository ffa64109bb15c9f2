#!/bin/sh
# Renders the settings dialog's small picture from its drawing:
# resources/art/jouken_small.svg -> resources/jouken_small.jpg (36 x 36).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
svg="$root/resources/art/jouken_small.svg"
out="$root/resources/jouken_small.jpg"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# rsvg-convert (librsvg2-bin) draws the curves far better than ImageMagick's
# own SVG reader; fall back to the latter only when it is missing.
if command -v rsvg-convert >/dev/null 2>&1; then
    rsvg-convert -w 36 -h 36 -b '#c0dcc0' -o "$tmp/pic.png" "$svg"
else
    convert -background '#c0dcc0' -density 96 "$svg" -resize 36x36! "$tmp/pic.png"
fi
# Baseline, no chroma subsampling: the thin lines of so small a picture keep
# their colour.
convert "$tmp/pic.png" -alpha remove -strip -sampling-factor 1x1 \
    -interlace none -quality 90 "$out"
identify "$out"
