#!/bin/sh
# Renders the program's pictures from their hand-written drawings:
#   resources/art/tutor.svg -> resources/tutor.png (128 x 128, the tutor)
#                              resources/tutor@2x.png (256 x 256, at scale 2)
#   resources/art/icon.svg  -> resources/icon.png  (256 x 256, window icon,
#                                 also the desktop's 256 px icon)
#                              resources/icons/icon-48.png (the desktop's 48 px icon)
# The window icon needs no @2x twin: 256 px is more than a title bar or task
# bar asks for at scale 2.
# Needs rsvg-convert (librsvg2-bin).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
art="$root/resources/art"

render() {
    rsvg-convert -w "$3" -h "$3" -o "$2" "$1"
}

render "$art/tutor.svg" "$root/resources/tutor.png" 128
render "$art/tutor.svg" "$root/resources/tutor@2x.png" 256
render "$art/icon.svg" "$root/resources/icon.png" 256
mkdir -p "$root/resources/icons"
render "$art/icon.svg" "$root/resources/icons/icon-48.png" 48
echo "wrote resources/tutor.png, resources/tutor@2x.png, resources/icon.png, resources/icons/icon-48.png"
