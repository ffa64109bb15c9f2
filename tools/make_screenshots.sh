#!/bin/sh
# Takes the README's pictures of every window into docs/, on a private X
# display, with the program's own fonts: build/screenshots shows each window
# in a typical state and grabs it. docs/scale2/ holds the same main window
# and certificate at a display scale of 2.
# Needs a build (cmake --build build -j2) and Xvfb (the test packages).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$root/build" -j2 --target screenshots tateyokom >/dev/null

work=$(mktemp -d)
XVFB_PID=""
trap '[ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$work"' EXIT
. "$root/tools/private_xvfb.sh"
start_private_xvfb "$work"

# In the program's folder, where the hints are.
cd "$root/build/app"
env -u QT_QPA_PLATFORM "$root/build/screenshots" "$root/docs"
env -u QT_QPA_PLATFORM QT_SCALE_FACTOR=2 "$root/build/screenshots" "$root/docs/scale2" main_window,certificate
