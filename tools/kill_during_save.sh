#!/bin/sh
# Kills a program that saves the settings file (SIGKILL, at a random moment
# within its first 60 ms) KILLS times, and checks after each kill that the
# file is one whole save, old or new: never partial, never missing.
#   kill_during_save.sh SAVE_LOOP [KILLS]
# KILL_SEED repeats a run; every run prints its seed.
set -eu
prog=$1
kills=${2:-200}
seed=${KILL_SEED:-$(date +%s)}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

# The two files a save can leave, on a file that also holds a parent's lines.
printf '; a note\r\n[PARENT]\r\nKEY=value\r\n' >"$dir/A.ini"
"$prog" "$dir/A.ini" a
cp "$dir/A.ini" "$dir/B.ini" && "$prog" "$dir/B.ini" b
cp "$dir/B.ini" "$dir/again.ini" && "$prog" "$dir/again.ini" a
cmp -s "$dir/again.ini" "$dir/A.ini" || { echo "saving a over b does not give a's file" >&2; exit 1; }

mkdir "$dir/run"
ini="$dir/run/tateyokoM15.ini"
cp "$dir/A.ini" "$ini"
i=0 olds=0 news=0 litter=0
start=$(date +%s)
while [ "$i" -lt "$kills" ]; do
    delay=$(awk -v s="$((seed + i))" 'BEGIN { srand(s); printf "%.4f", rand() * 0.06 }')
    "$prog" "$ini" loop &
    pid=$!
    sleep "$delay"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if cmp -s "$ini" "$dir/A.ini"; then
        olds=$((olds + 1))
    elif cmp -s "$ini" "$dir/B.ini"; then
        news=$((news + 1))
    else
        echo "kill $i (seed $seed, after ${delay}s) left a file that is no whole save:" >&2
        od -c "$ini" 2>&1 | tail -n 5 >&2 || echo "(the file is missing)" >&2
        exit 1
    fi
    # A temporary file cut short by the kill lies beside it; it is never read.
    for f in "$dir/run/"*; do
        [ "$f" = "$ini" ] && continue
        litter=$((litter + 1))
        rm -f "$f"
    done
    i=$((i + 1))
done
echo "$kills kills in $(( $(date +%s) - start )) s (seed $seed): file whole every time ($olds times state a, $news times state b); $litter cut temporary files left beside it"
