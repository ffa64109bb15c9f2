#!/bin/sh
# Renders the certificate's and the about box's pictures from their drawings
# in resources/art/, each at its own size and at twice that size (name@2x)
# for a display scale of 2:
#   cert_olive.jpg 393x41, cert_tulip.jpg 393x37, cert_seal.jpg 60x60,
#   cert_portrait.png 50x54, about_face.png 20x20, about_emblem.png 32x32.
# Needs: librsvg2-bin (rsvg-convert), imagemagick (convert), and
# fonts-noto-cjk, whose "Noto Serif CJK JP" Bold draws the seal's lettering.
# Running it again only writes the same files again.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/resources/art"
out="$root/resources"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

command -v rsvg-convert >/dev/null 2>&1 || {
    echo "rsvg-convert missing: apt-get install librsvg2-bin" >&2; exit 1; }
# Without the font the seal would silently come out in some other face.
if command -v fc-list >/dev/null 2>&1 &&
   ! fc-list 'Noto Serif CJK JP:style=Bold' | grep -q .; then
    echo "Noto Serif CJK JP Bold missing: apt-get install fonts-noto-cjk" >&2
    exit 1
fi

# jpeg NAME WIDTH HEIGHT: printed on white, so flattened onto white. Baseline,
# no chroma subsampling: thin red and green lines keep their colour.
jpeg() {
    for scale in 1 2; do
        w=$(($2 * scale)); h=$(($3 * scale))
        case $scale in 1) file="$1.jpg" ;; *) file="$1@${scale}x.jpg" ;; esac
        rsvg-convert -w "$w" -h "$h" -b '#ffffff' -o "$tmp/pic.png" "$art/$1.svg"
        convert "$tmp/pic.png" -alpha remove -strip -sampling-factor 1x1 \
            -interlace none -quality 90 "$out/$file"
        identify "$out/$file"
    done
}

# png NAME WIDTH HEIGHT: keeps its transparency for the panel behind it.
# -strip drops the time stamps so that a second run changes no byte.
png() {
    for scale in 1 2; do
        w=$(($2 * scale)); h=$(($3 * scale))
        case $scale in 1) file="$1.png" ;; *) file="$1@${scale}x.png" ;; esac
        rsvg-convert -w "$w" -h "$h" -o "$tmp/pic.png" "$art/$1.svg"
        convert "$tmp/pic.png" -strip -define png:exclude-chunks=date,time \
            "PNG32:$out/$file"
        identify "$out/$file"
    done
}

jpeg cert_olive 393 41
jpeg cert_tulip 393 37
jpeg cert_seal 60 60
png cert_portrait 50 54
png about_face 20 20
png about_emblem 32 32
