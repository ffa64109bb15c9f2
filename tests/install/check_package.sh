#!/bin/sh
# The Debian package: built with CPack, installed with apt-get as a parent
# would, started from its desktop entry (and from its launcher) by an
# ordinary user on an X display of its own until its window shows, then
# removed again so that the machine is left as it was found. The spoken 九九
# ships inside it: the program is started with the synthesiser hidden, as on
# a child's computer that has neither it nor the voice.
# Usage: check_package.sh BUILD_DIR; needs root (skipped without it, except
# in CI) and Xvfb.
set -u
build=$1
id=jp.mizunarasha.tateyokom
SKIP=77
if [ "$(id -u)" != 0 ]; then
    if [ "${CI:-}" = true ]; then echo "FAIL: installing the package needs root"; exit 1; fi
    echo "skipped: installing the package needs root"; exit $SKIP
fi
if dpkg-query -W -f='${Status}' tateyokom 2>/dev/null | grep -q "ok installed"; then
    # Someone's own installation is not ours to replace and remove.
    if [ "${CI:-}" = true ]; then echo "FAIL: tateyokom is already installed here"; exit 1; fi
    echo "skipped: tateyokom is already installed on this machine"; exit $SKIP
fi
work=$(mktemp -d)
chmod 755 "$work"
installed=""
pid=""
xvfb=""
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    [ -n "$installed" ] && apt-get purge -y -qq -o DPkg::Lock::Timeout=300 tateyokom >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/pack" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1; }
deb=$(ls "$work"/pack/tateyokom_*.deb 2>/dev/null | head -n 1)
[ -f "$deb" ] || { cat "$work/cpack.log"; echo "FAIL: no .deb"; exit 1; }
depends=$(dpkg-deb -f "$deb" Depends)
echo "$(basename "$deb"): Depends: $depends"
for dep in libqt6widgets6 libqt6multimedia6 libqt6printsupport6 libjpeg62-turbo libcups2 fonts-noto-cjk \
    fonts-kouzan-mouhitsu fonts-rocknroll qt6-translations-l10n xchm xdg-utils; do
    echo "$depends" | grep -q "\b$dep\b" || fail "Depends lacks $dep"
done
case $depends in *open-jtalk* | *hts-voice*) fail "Depends names the synthesiser or the voice" ;; esac
# Every phrase the build synthesised is packed (none where it had no voice; CI always has it).
made=$(ls "$build"/app/kuku_chant_[1-9][1-9].wav "$build"/app/kuku_ask_[1-9][1-9].wav 2>/dev/null | wc -l)
packed=$(dpkg-deb -c "$deb" | grep -cE ' \./usr/lib/tateyokom/kuku_(chant|ask)_[1-9][1-9]\.wav$')
[ "$packed" -eq "$made" ] || fail "the package carries $packed spoken phrases, the build made $made"
[ "${CI:-}" = true ] && [ "$packed" -ne 162 ] && fail "the package carries $packed spoken phrases, not 162"
echo "spoken phrases in the package: $packed"

DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=300 "$deb" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; echo "FAIL: apt-get install $deb"; exit 1; }
installed=yes

entry=/usr/share/applications/$id.desktop
[ -f "$entry" ] || { echo "FAIL: the package has no $entry"; exit 1; }
folder=$(sed -n 's/^Path=//p' "$entry")
program=$(sed -n 's/^Exec=//p' "$entry" | sed 's/^"\(.*\)"$/\1/')
[ "$folder" = /usr/lib/tateyokom ] || fail "Path=$folder"
for name in tateyokom kuku_goro.csv Seikai.wav Huseikai.wav promptA.wav masumev15.chm \
    TateyokoM01.chm Jouken_setM15.chm; do
    [ -f "/usr/lib/tateyokom/$name" ] || fail "/usr/lib/tateyokom/$name is not installed"
done
for icon in 48x48/apps/$id.png 256x256/apps/$id.png scalable/apps/$id.svg; do
    [ -f "/usr/share/icons/hicolor/$icon" ] || fail "no icon $icon"
done
[ -f "/usr/share/metainfo/$id.metainfo.xml" ] || fail "no metainfo"

# A display of its own: other tests' windows of the same program are not
# found in place of this one, nor this one in theirs.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
i=0
while [ ! -s "$work/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$work/display" ] || { cat "$work/xvfb.log"; echo "FAIL: Xvfb did not start"; exit 1; }
display=":$(cat "$work/display")"

# A new user of the desktop: an ordinary account with a home of its own.
user=tateyoko-test
id "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user"
home="$work/home"
mkdir "$home" && chown "$user" "$home"

# No session bus: without an address the first window forks a D-Bus
# autolaunch helper, and a sanitized build's forked child can hang before it
# execs (the window with it). An address that leads nowhere fails at once.
bus="unix:path=$work/no-bus"

# start DESCRIPTION FOLDER PATTERN TITLE COMMAND [ARGUMENT...]: starts it
# as the user; waits for a window whose name the regular expression PATTERN
# finds, and checks that it is called TITLE; checks where it runs and that
# nothing but that window showed (a missing file would have brought a
# message box); closes it.
main="『タテヨコ塾(Ｍ)』v1.52 --- みずなら舎"
# The synthesiser and its dictionary, where this machine has them, are not there for the program.
hide=""
[ -e /usr/bin/open_jtalk ] && hide="mount --bind /dev/null /usr/bin/open_jtalk || exit 1;"
[ -d /var/lib/mecab/dic/open-jtalk ] && hide="$hide mount -t tmpfs none /var/lib/mecab/dic/open-jtalk || exit 1;"
if [ -n "$hide" ] && ! unshare -m sh -c "$hide" 2>/dev/null; then
    echo "note: no mount namespace here; the synthesiser stays in sight of the program"
    hide=""
fi
# unshare keeps the process: the hiding mounts are seen by the program alone.
hidden() {
    if [ -n "$hide" ]; then exec unshare -m sh -c "$hide"' exec "$@"' sh "$@"; else exec "$@"; fi
}
start() {
    what=$1 from=$2 pattern=$3 expected=$4 arguments=""
    shift 4
    (cd "$from" && hidden setpriv --reuid="$user" --regid="$(id -g "$user")" --clear-groups \
        env -i HOME="$home" PATH=/usr/bin:/bin DISPLAY="$display" LANG=C.UTF-8 \
            DBUS_SESSION_BUS_ADDRESS="$bus" "$@") \
        >"$work/run.log" 2>&1 &
    pid=$!
    window=""
    i=0
    while [ -z "$window" ] && [ $i -lt 150 ]; do
        sleep 0.1
        i=$((i + 1))
        window=$(DISPLAY="$display" xdotool search --all --onlyvisible --pid "$pid" --name "$pattern" 2>/dev/null | head -n 1)
        kill -0 "$pid" 2>/dev/null || break
    done
    if [ -z "$window" ]; then
        fail "$what: no window within 15 s"; cat "$work/run.log"
    else
        sleep 1.5
        title=$(DISPLAY="$display" xdotool getwindowname "$window")
        [ "$title" = "$expected" ] || fail "$what: window called $title"
        [ "$(readlink "/proc/$pid/cwd")" = /usr/lib/tateyokom ] ||
            fail "$what: runs in $(readlink "/proc/$pid/cwd")"
        [ "$(stat -c %U "/proc/$pid")" = "$user" ] || fail "$what: not run as $user"
        windows=$(DISPLAY="$display" xdotool search --all --onlyvisible --pid "$pid" --name . 2>/dev/null | wc -l)
        [ "$windows" -eq 1 ] || fail "$what: $windows windows showed (a message box?)"
        arguments=$(tr '\0' ' ' <"/proc/$pid/cmdline")
        echo "$what: window shown: $title ($arguments)"
    fi
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
}
start "the desktop entry" "$folder" タテヨコ塾 "$main" "$program"
start "the launcher in the PATH" / タテヨコ塾 "$main" tateyokom
# The teacher's window over a class folder named from where the command starts.
mkdir -p "$work/class/Taro"
printf '[TESTDATA]\r\nRECCHECKARRAY=11000000000000000000000000000000000000000000000000000000\r\n' >"$work/class/Taro/tateyokoM15.ini"
chmod -R a+rX "$work/class"
start "the teacher's launcher" "$work" "^クラスのきろく$" "クラスのきろく" tateyokom --teacher --class-folder class
case $arguments in
*"--class-folder $work/class "*) ;;
*) fail "the teacher's launcher gave the program: $arguments" ;;
esac
start "the teacher's launcher, one word" "$work/class" "^クラスのきろく$" "クラスのきろく" tateyokom --teacher --class-folder=.
case $arguments in
*"--class-folder=$work/class/. "*) ;;
*) fail "the teacher's launcher gave the program: $arguments" ;;
esac

apt-get purge -y -qq -o DPkg::Lock::Timeout=300 tateyokom >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; fail "apt-get purge tateyokom"; }
installed=""
[ ! -e /usr/lib/tateyokom ] && [ ! -e "$entry" ] || fail "the package left files behind"

[ $failures -eq 0 ] && echo "the package installs, starts from its desktop entry and goes again"
exit $((failures > 0))
