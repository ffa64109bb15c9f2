#!/bin/sh
# Cuts the power under a child's journey: runs tests/fault/journey (tests,
# registrations, 成績クリア, the map of hard facts cleared, each saved by the
# program's own wiring) and kills it with SIGKILL at a random moment, KILLS
# times, in one folder whose files live on from kill to kill. After each kill
# the settings file and the record of answers must be whole and hold every
# pass saved before the kill. Prints how many kills fell in each phase.
#   kill_journey.sh JOURNEY [KILLS]
# KILL_SEED repeats a run; every run prints its seed. The journey runs
# offscreen.
set -eu
prog=$1
kills=${2:-200}
seed=${KILL_SEED:-$(date +%s)}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
export QT_QPA_PLATFORM=offscreen
mkdir "$dir/app"

# How long a start and a few rounds take here: the kills fall within that.
"$prog" "$dir/app" run >"$dir/log" 2>"$dir/probe.err" &
pid=$!
sleep 2
kill -KILL "$pid" 2>/dev/null || echo "the journey ended by itself before it was killed" >&2
wait "$pid" 2>/dev/null || true
rounds=$(grep -c "phase test" "$dir/log" || true)
[ "$rounds" -ge 2 ] || {
    echo "the journey did not get through two rounds in 2 s:" >&2
    tail -n 20 "$dir/log" "$dir/probe.err" >&2
    exit 1
}
"$prog" "$dir/app" check "$dir/log" || exit 1
# A start takes a fair share of a run's first second; kills fall within the
# time of the start and about six rounds.
span=$(awk -v r="$rounds" 'BEGIN { printf "%.3f", 2.0 / r * 6 + 0.3 }')

i=0
start=$(date +%s)
: >"$dir/phases"
while [ "$i" -lt "$kills" ]; do
    delay=$(awk -v s="$((seed + i))" -v span="$span" 'BEGIN { srand(s); printf "%.4f", rand() * span }')
    "$prog" "$dir/app" run >"$dir/log" 2>"$dir/err" &
    pid=$!
    sleep "$delay"
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # The phase the kill fell in, and whether it fell within a save.
    phase=$(grep "^phase" "$dir/log" | tail -n 1 | cut -d' ' -f2)
    last=$(tail -n 1 "$dir/log" | cut -d' ' -f1)
    [ "$last" = saving ] && phase="$phase/saving"
    echo "${phase:-before-start}" >>"$dir/phases"
    if ! "$prog" "$dir/app" check "$dir/log"; then
        echo "kill $i (seed $seed, after ${delay}s, in ${phase:-the start}) left files that are not whole or lost a pass" >&2
        tail -n 5 "$dir/log" >&2
        exit 1
    fi
    if grep -q "^box" "$dir/err"; then
        echo "kill $i: the journey met a box it should not have:" >&2
        cat "$dir/err" >&2
        exit 1
    fi
    # Built with the sanitizers, the journey reports on stderr and stops.
    if grep -q "ERROR: AddressSanitizer\|runtime error:" "$dir/err" "$dir/probe.err"; then
        echo "kill $i: the journey reported a memory error or undefined behaviour:" >&2
        cat "$dir/probe.err" "$dir/err" >&2
        exit 1
    fi
    # Cut temporary files beside them are never read; they go.
    find "$dir/app" -type f ! -name tateyokoM15.ini ! -name kuku_nigate.txt -delete
    i=$((i + 1))
done
echo "$kills kills in $(( $(date +%s) - start )) s (seed $seed, within ${span} s of the start): files whole and every saved pass kept each time"
echo "kills per phase:"
sort "$dir/phases" | uniq -c | sort -rn
