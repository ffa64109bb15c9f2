#!/bin/sh
# Puts the Japanese voice of the spoken 九九 (Debian contrib package
# hts-voice-nitech-jp-atr503-m001) into DEST, unpacked, without changing the
# system's package sources: apt reads a temporary list that adds the contrib
# area to the system's own Debian archive, for this one download.
# Usage: tools/fetch_voice.sh DEST   (prints the voice file's path; fails quietly)
set -e
DEST=${1:?usage: fetch_voice.sh DEST}
PACKAGE=hts-voice-nitech-jp-atr503-m001
VOICE=$DEST/usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice
if [ -f "$VOICE" ]; then echo "$VOICE"; exit 0; fi
for installed in /usr/share/hts-voice/nitech-jp-atr503-m001/nitech_jp_atr503_m001.htsvoice; do
    if [ -f "$installed" ]; then echo "$installed"; exit 0; fi
done

# The system's Debian archive and release, from its own source list.
uri="" suite=""
for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    uri=$(awk '/^URIs:/ && $2 ~ /debian\/?$/ {print $2; exit}' "$f")
    suite=$(awk -v u="$uri" '/^URIs:/ {hit = ($2 == u)} hit && /^Suites:/ {print $2; exit}' "$f")
    [ -n "$uri" ] && [ -n "$suite" ] && break
done
if [ -z "$uri" ] || [ -z "$suite" ]; then
    line=$(grep -hE '^deb +(\[[^]]*\] +)?[a-z]+://[^ ]*debian/? ' /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null | head -n 1 || true)
    uri=$(echo "$line" | sed -E 's/^deb +(\[[^]]*\] +)?//' | awk '{print $1}')
    suite=$(echo "$line" | sed -E 's/^deb +(\[[^]]*\] +)?//' | awk '{print $2}')
fi
if [ -z "$uri" ] || [ -z "$suite" ]; then
    echo "no Debian archive in the system's package sources" >&2; exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/parts" "$work/cache/archives/partial"
echo "deb $uri $suite contrib" > "$work/sources.list"
opts="-o Dir::Etc::sourcelist=$work/sources.list -o Dir::Etc::sourceparts=$work/parts
  -o Dir::State::Lists=$work/lists -o Dir::Cache=$work/cache -o APT::Get::List-Cleanup=0
  -o Debug::NoLocking=1"
# The download runs as whoever calls; as root apt would hand it to a user
# that cannot enter the private directory.
[ "$(id -u)" = 0 ] && opts="$opts -o APT::Sandbox::User=root"
# shellcheck disable=SC2086
apt-get $opts -qq update >&2
# shellcheck disable=SC2086
(cd "$work" && apt-get $opts -qq download "$PACKAGE" >&2)
mkdir -p "$DEST"
dpkg-deb -x "$work"/${PACKAGE}_*.deb "$DEST"
cp "$DEST"/usr/share/doc/$PACKAGE/copyright "$DEST/voice-copyright" 2>/dev/null || true
[ -f "$VOICE" ] || { echo "the voice package holds no voice file" >&2; exit 1; }
echo "$VOICE"
