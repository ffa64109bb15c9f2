#!/bin/sh
# Speaks every phrase of the 九九 into a sound file, several at a time, and
# says how long it took.
# Usage: synthesize_voice.sh PHRASE_TOOL OPEN_JTALK DICTIONARY VOICE OUTDIR PHRASES
# (PHRASES: lines FILE<TAB>TEXT, as "PHRASE_TOOL list" writes them)
set -e
TOOL=$1 JTALK=$2 DICT=$3 VOICE=$4 OUT=$5 PHRASES=$6
[ -f "$PHRASES" ] || { echo "usage: synthesize_voice.sh TOOL OPEN_JTALK DICTIONARY VOICE OUTDIR PHRASES" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
start=$(date +%s%N)
cp "$PHRASES" "$work/phrases"
jobs=$(nproc 2>/dev/null || echo 2)
# 16-bit mono at 16 kHz keeps a phrase small; the voice keeps its 5 ms frames.
export TOOL JTALK DICT VOICE OUT work
cut -f1 "$work/phrases" | xargs -P "$jobs" -I{} sh -c '
    name={}
    grep "^$name	" "$work/phrases" | cut -f2 > "$work/$name.txt"
    "$JTALK" -x "$DICT" -m "$VOICE" -s 16000 -p 80 -ow "$work/$name" -ot "$work/$name.trace" "$work/$name.txt" &&
    "$TOOL" trim "$work/$name" "$work/$name.trace" "$OUT/$name"'
count=$(wc -l < "$work/phrases")
end=$(date +%s%N)
echo "spoken 九九: $count phrases synthesised in $(( (end - start) / 1000000 )) ms, $jobs at a time"
