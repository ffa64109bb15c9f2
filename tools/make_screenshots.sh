#!/bin/sh
# Takes the README's pictures of every window into docs/, on a private X
# display, with the program's own fonts: build/screenshots shows each window
# in a typical state and grabs it. docs/scale2/ holds the same main window
# and certificate at a display scale of 2.
# Needs a build (cmake --build build -j2) and Xvfb (the test packages).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cmake --build "$root/build" -j2 --target screenshots tateyokom >/dev/null

for n in 81 82 83 84 85 86 87 88 89; do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then display=:$n; break; fi
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1

# In the program's folder, where the hints are.
cd "$root/build/app"
env -u QT_QPA_PLATFORM DISPLAY="$display" "$root/build/screenshots" "$root/docs"
env -u QT_QPA_PLATFORM DISPLAY="$display" QT_SCALE_FACTOR=2 \
    "$root/build/screenshots" "$root/docs/scale2" main_window,certificate
