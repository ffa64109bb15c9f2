#!/bin/sh
# Every window still looks as reviewed: the screenshots program takes each
# window again, on an X display of its own, and each picture must match its
# reviewed copy in docs/ (the README's pictures). Antialiased edges may come
# out a few levels apart on another processor, so small differences of level
# pass; a text, line or colour moved or changed does not.
# A change to a window that is meant: review the new pictures kept in
# BUILD_DIR/Testing/pictures, then take them with tools/make_screenshots.sh.
# Usage: check_pictures.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
out="$build/Testing/pictures"
rm -rf "$out"
mkdir -p "$out/scale2"
work=$(mktemp -d)
XVFB_PID=""
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT INT TERM

. "$source/tools/private_xvfb.sh"
start_private_xvfb "$work" || { echo "FAIL: no X server for the pictures"; exit 1; }

# In a folder of its own with the program's hints, so that nothing it
# writes meets another test.
mkdir "$work/app" "$work/run"
chmod 700 "$work/run"
cp "$build/app/kuku_goro.csv" "$work/app/" || { echo "FAIL: no hints in $build/app"; exit 1; }
# With the voice, About carries its credit, as in the reviewed picture; a
# build without the voice has no credit to show, and its About is not compared.
voiced=0
if ls "$build"/app/kuku_chant_*.wav >/dev/null 2>&1; then
    cp "$build"/app/kuku_chant_*.wav "$work/app/" && voiced=1
fi
cd "$work/app" || exit 1
shoot() {
    env -u QT_QPA_PLATFORM XDG_RUNTIME_DIR="$work/run" "$@" >"$work/shots.log" 2>&1 ||
        { echo "FAIL: the screenshots program failed:"; cat "$work/shots.log"; exit 1; }
}
shoot "$build/screenshots" "$out"
shoot env QT_SCALE_FACTOR=2 "$build/screenshots" "$out/scale2" main_window,certificate

failed=0
checked=0
for reviewed in "$source"/docs/*.png "$source"/docs/scale2/*.png; do
    name=${reviewed#"$source/docs/"}
    taken="$out/$name"
    if [ "$name" = about.png ] && [ $voiced = 0 ]; then
        echo "about.png not compared: this build has no voice"
        continue
    fi
    if [ ! -f "$taken" ]; then
        echo "FAIL: $name was not taken"
        failed=1
        continue
    fi
    # compare prints the number of pixels that differ by more than the fuzz.
    differing=$(compare -metric AE -fuzz 3% "$reviewed" "$taken" "$out/${name%.png}.diff.png" 2>&1)
    checked=$((checked + 1))
    if [ "$differing" != 0 ]; then
        echo "FAIL: $name differs from the reviewed picture in $differing pixels" \
             "(taken: $taken, differences: $out/${name%.png}.diff.png)"
        failed=1
    else
        rm -f "$out/${name%.png}.diff.png"
    fi
done
[ "$checked" -gt 0 ] || { echo "FAIL: no pictures compared"; failed=1; }
[ $failed = 0 ] && echo "all $checked pictures match the reviewed ones"
exit $failed
