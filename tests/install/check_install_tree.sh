#!/bin/sh
# `cmake --install` into a fresh prefix (with a blank in its name): one folder
# with the program and every file it reads, a desktop entry that starts it
# there, metainfo and icons, each valid for the desktop's own tools.
# Usage: check_install_tree.sh BUILD_DIR SOURCE_DIR
set -u
build=$1
source=$2
id=jp.mizunarasha.tateyokom
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/the prefix"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; echo "FAIL: cmake --install"; exit 1; }
folder="$prefix/lib/tateyokom"

# Every file the program reads from build/app is in its folder, byte for byte.
[ -x "$folder/tateyokom" ] || fail "no executable in $folder"
count=0
for file in "$build"/app/*; do
    name=$(basename "$file")
    case $name in tateyokom | *.ini) continue ;; esac
    count=$((count + 1))
    cmp -s "$file" "$folder/$name" || fail "$name is not installed beside the program"
done
[ "$count" -ge 7 ] || fail "only $count data files in $build/app"
[ -z "$(find "$folder" -name '*.ini')" ] || fail "a settings file was installed"

# The desktop entry.
entry="$prefix/share/applications/$id.desktop"
[ -f "$entry" ] || { echo "FAIL: no desktop entry $entry"; exit 1; }
desktop-file-validate "$entry" || fail "desktop-file-validate $entry"
value() { sed -n "s/^$1=//p" "$entry" | head -n 1; }
[ "$(value Path)" = "$folder" ] || fail "Path=$(value Path), not $folder"
[ "$(value Exec)" = "\"$folder/tateyokom\"" ] || fail "Exec=$(value Exec) does not start $folder/tateyokom"
[ "$(value Icon)" = "$id" ] || fail "Icon=$(value Icon)"
grep -q '^Name\[ja\]=タテヨコ塾(Ｍ)$' "$entry" || fail "no Japanese name"
grep -q '^Comment=.' "$entry" && grep -q '^Comment\[ja\]=.' "$entry" || fail "Comment in English and Japanese"
grep -q '^Categories=Education;' "$entry" || fail "not in Education"

# The icons: 48 and 256 px PNG (width and height from the PNG header), SVG.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{print $3*256+$4 "x" $7*256+$8}'; }
for size in 48 256; do
    icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
    [ -f "$icon" ] && [ "$(png_size "$icon")" = "${size}x${size}" ] || fail "no ${size} px icon"
done
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "no SVG icon"

# The metainfo, and a screenshot in docs/ for each picture it names.
meta="$prefix/share/metainfo/$id.metainfo.xml"
appstreamcli validate --no-net "$meta" || fail "appstreamcli validate --no-net $meta"
shots=$(sed -n 's|.*<image>.*/\(docs/[^<]*\)</image>.*|\1|p' "$meta")
[ -n "$shots" ] || fail "no screenshots in the metainfo"
for shot in $shots; do
    [ -f "$source/$shot" ] || fail "the metainfo shows $shot, which is not in the repository"
done
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$meta" || fail "metainfo does not launch $id.desktop"

# The launcher goes to the program's folder before it starts it.
launcher="$prefix/bin/tateyokom"
[ -x "$launcher" ] || fail "no launcher"
mkdir "$work/elsewhere"
cp "$launcher" "$work/elsewhere/launch"
mkdir -p "$work/lib/tateyokom"
printf '#!/bin/sh\npwd > "%s/started-in"\n' "$work" >"$work/lib/tateyokom/tateyokom"
chmod +x "$work/lib/tateyokom/tateyokom"
ln -s "$work/elsewhere/launch" "$work/link"
(cd / && "$work/link") || fail "the launcher failed"
[ "$(cat "$work/started-in" 2>/dev/null)" = "$work/lib/tateyokom" ] || fail "the launcher did not start the program in its folder"

[ $failures -eq 0 ] && echo "install tree under $prefix: all checks passed"
exit $((failures > 0))
