#!/bin/sh
# Renders the program's pictures from their hand-written drawings:
#   resources/art/tutor.svg -> resources/tutor.png (128 x 128, the tutor)
#   resources/art/icon.svg  -> resources/icon.png  (256 x 256, window icon)
# Needs rsvg-convert (librsvg2-bin).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/resources/art"

render() {
    rsvg-convert -w "$3" -h "$3" -o "$2" "$1"
}

render "$art/tutor.svg" "$root/resources/tutor.png" 128
render "$art/icon.svg" "$root/resources/icon.png" 256
echo "wrote resources/tutor.png, resources/icon.png"
