#!/bin/sh
# Regenerates the files that ship beside the program:
#   data/kuku_goro.csv   from tools/hints_source.txt (UTF-8 -> CP932, CRLF)
#   data/Seikai.wav      right answer: two rising bell tones
#   data/Huseikai.wav    wrong answer: a soft, falling "boo-boop"
#   data/promptA.wav     prompt: one small bell
# Needs sox and python3. The output is the same on every run (sox -R, no dither).
set -eu
export LC_ALL=C  # awk must print decimal points, not commas

root=$(cd "$(dirname "$0")/.." && pwd)
data="$root/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$data"

# ---- hints ------------------------------------------------------------------
python3 - "$root/tools/hints_source.txt" "$data/kuku_goro.csv" <<'EOF'
import re
import sys

src, dst = sys.argv[1], sys.argv[2]
lines = [l.rstrip("\r\n") for l in open(src, encoding="utf-8")]
lines = [l for l in lines if not l.startswith("#")]
heading, hints = lines[0], lines[1:]
if len(hints) != 81:
    sys.exit(f"expected 81 hints, found {len(hints)}")

# The reader takes at most 52 bytes per piece, line break included; a longer
# line would spill into the next fact's slot.
LIMIT = 51
out = []
for i, line in enumerate([heading] + hints):
    raw = line.encode("cp932")
    if len(raw) > LIMIT:
        sys.exit(f"line {i}: {len(raw)} bytes > {LIMIT}: {line}")
    if line[:1] in (",", "/", "*", ""):
        sys.exit(f"line {i} would be skipped or shift the slots: {line}")
    out.append(raw)

fw = str.maketrans("０１２３４５６７８９", "0123456789")
for k, line in enumerate(hints):
    a, b = k // 9 + 1, k % 9 + 1
    first, hint = line.split(",", 1)
    if first != f"{a}×{b}":
        sys.exit(f"hint {k}: first column {first!r}, expected {a}×{b}")
    numbers = re.findall(r"[0-9]+", hint.translate(fw))
    if numbers != [str(a * b)]:
        sys.exit(f"hint {k} ({first}) names {numbers}, expected {a * b}")

with open(dst, "wb") as f:
    f.write(b"".join(l + b"\r\n" for l in out))
EOF

# ---- sounds -----------------------------------------------------------------
rate=22050
sx() { sox -R -D "$@"; }

calc() { awk "BEGIN { printf \"%.4f\", $1 }"; }

# One bell tone: a fundamental and two overtones, each dying away at its own
# rate (higher partials faster, as on a struck bar), cut off gently.
# $1 file, $2 Hz, $3 seconds, $4 seconds for the fundamental to fall 100 dB.
bell() {
    for n in 1 2 3; do
        ring=$(calc "$4 / $n")
        sx -n -r $rate -b 16 "$work/partial$n.wav" synth "$ring" sine "$(calc "$2 * $n")" \
            fade h 0.008 fade l 0 "$ring" "$ring"
    done
    sx -m -v 0.70 "$work/partial1.wav" -v 0.22 "$work/partial2.wav" -v 0.08 "$work/partial3.wav" \
        "$1" trim 0 "$3" fade h 0 "$3" 0.05
}

# A soft low tone: triangle wave, rounded off by a low-pass filter so it hums
# rather than buzzes. $1 file, $2 Hz, $3 seconds.
hum() {
    sx -n -r $rate -b 16 "$1" synth "$3" triangle "$2" sine "$2" remix 1v0.6,2v0.4 \
        lowpass 1100 fade q 0.03 "$3" 0.12
}

# Right: C6 then G6, the second struck while the first still rings.
bell "$work/c6.wav" 1046.5 0.60 1.6
bell "$work/g6.wav" 1568.0 0.64 1.8
sx "$work/g6.wav" "$work/g6late.wav" pad 0.16
sx -m "$work/c6.wav" "$work/g6late.wav" "$work/seikai.wav" gain -n -0.8

# Wrong: B-flat 3 falling to G3, gentle at both ends.
hum "$work/bf3.wav" 233.1 0.24
hum "$work/g3.wav" 196.0 0.40
sx "$work/bf3.wav" "$work/bf3gap.wav" pad 0 0.05
sx "$work/bf3gap.wav" "$work/g3.wav" "$work/huseikai.wav" gain -n -0.8

# Prompt: one short, high bell.
bell "$work/prompt.wav" 1760.0 0.25 0.9
sx "$work/prompt.wav" "$work/prompta.wav" gain -n -0.8

# The player scales samples from byte 44 on, so each file gets the plain
# 44-byte header and nothing else: no LIST or other chunks.
python3 - "$work/seikai.wav" "$data/Seikai.wav" "$work/huseikai.wav" "$data/Huseikai.wav" \
    "$work/prompta.wav" "$data/promptA.wav" <<'EOF'
import struct
import sys

def pcm_chunks(path):
    blob = open(path, "rb").read()
    if blob[:4] != b"RIFF" or blob[8:12] != b"WAVE":
        sys.exit(f"{path}: not RIFF/WAVE")
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(blob):
        cid, size = blob[pos:pos + 4], struct.unpack_from("<I", blob, pos + 4)[0]
        body = blob[pos + 8:pos + 8 + size]
        if cid == b"fmt ":
            fmt = body
        elif cid == b"data":
            data = body
        pos += 8 + size + (size & 1)
    tag, channels, rate, _, _, bits = struct.unpack_from("<HHIIHH", fmt)
    if bits != 16 or tag not in (1, 0xFFFE):
        sys.exit(f"{path}: not 16-bit PCM")
    return channels, rate, data

args = sys.argv[1:]
for src, dst in zip(args[0::2], args[1::2]):
    channels, rate, data = pcm_chunks(src)
    block = channels * 2
    header = b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE"
    header += b"fmt " + struct.pack("<IHHIIHH", 16, 1, channels, rate, rate * block, block, 16)
    header += b"data" + struct.pack("<I", len(data))
    with open(dst, "wb") as f:
        f.write(header + data)
EOF

echo "wrote $data/kuku_goro.csv, Seikai.wav, Huseikai.wav, promptA.wav"
