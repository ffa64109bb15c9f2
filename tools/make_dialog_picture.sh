#!/bin/sh
# Renders the settings dialog's small picture from its drawing:
# resources/art/jouken_small.svg -> resources/jouken_small.jpg (36 x 36) and
# resources/jouken_small@2x.jpg (72 x 72) for a display scale of 2.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
svg="$root/resources/art/jouken_small.svg"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# rsvg-convert (librsvg2-bin) draws the curves far better than ImageMagick's
# own SVG reader; fall back to the latter only when it is missing.
render() {
    if command -v rsvg-convert >/dev/null 2>&1; then
        rsvg-convert -w "$1" -h "$1" -b '#c0dcc0' -o "$tmp/pic.png" "$svg"
    else
        convert -background '#c0dcc0' -density $((96 * $1 / 36)) "$svg" -resize "$1x$1!" "$tmp/pic.png"
    fi
    # Baseline, no chroma subsampling: the thin lines of so small a picture
    # keep their colour.
    convert "$tmp/pic.png" -alpha remove -strip -sampling-factor 1x1 \
        -interlace none -quality 90 "$2"
    identify "$2"
}

render 36 "$root/resources/jouken_small.jpg"
render 72 "$root/resources/jouken_small@2x.jpg"
