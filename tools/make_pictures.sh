#!/bin/sh
# Renders the program's pictures from their hand-written drawings:
#   resources/art/tutor.svg -> resources/tutor.png (128 x 128, the tutor)
#                              resources/tutor@2x.png (256 x 256, at scale 2)
#   resources/art/icon.svg  -> resources/icon_16.png ... icon_64.png (the window
#                                 icon; 48 px is also the desktop's 48 px icon)
#                              resources/icons/icon-256.png (the desktop's 256 px icon)
# The window icon stops at 64 px: it goes to the display whole with every
# window, and no title bar or task bar asks for more, even at scale 2.
# Needs rsvg-convert (librsvg2-bin).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/resources/art"

render() {
    rsvg-convert -w "$3" -h "$3" -o "$2" "$1"
}

render "$art/tutor.svg" "$root/resources/tutor.png" 128
render "$art/tutor.svg" "$root/resources/tutor@2x.png" 256
for size in 16 32 48 64; do render "$art/icon.svg" "$root/resources/icon_$size.png" $size; done
mkdir -p "$root/resources/icons"
render "$art/icon.svg" "$root/resources/icons/icon-256.png" 256
echo "wrote resources/tutor.png, resources/tutor@2x.png, resources/icon_*.png, resources/icons/icon-256.png"
