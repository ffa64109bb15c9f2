#!/bin/sh
# Builds the fuzzers (fuzz/, clang with libFuzzer, ASan and UBSan) and runs
# each for a bounded time, FUZZ_SECONDS each (12 by default). A crash, a
# leak, undefined behaviour, a hang or a broken property fails the run; the
# input that found it is kept in build-fuzz/findings/ to become a test.
set -eu
cd "$(dirname "$0")/.."
SECONDS_EACH=${FUZZ_SECONDS:-12}
TARGETS="settings pass_table hints wave jpeg fact_record history class_child"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! { cmake -S fuzz -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build build-fuzz -j2; } >"$work/build.log" 2>&1; then
    tail -n 40 "$work/build.log"
    echo "fuzzers: build failed" >&2
    exit 1
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-}:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tools/sanitizer.supp:print_suppressions=0"
status=0
for t in $TARGETS; do
    mkdir -p "$work/$t"
    # New inputs go to the scratch folder; the committed seeds stay as made.
    if build-fuzz/fuzz_$t -max_total_time="$SECONDS_EACH" -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$work/$t-" "$work/$t" "fuzz/corpus/$t" >"$work/$t.log" 2>&1; then
        echo "fuzz_$t: $(grep -E '^Done [0-9]+ runs' "$work/$t.log" | tail -n 1), no finding"
    else
        echo "fuzz_$t: FINDING"
        grep -v '^#[0-9]' "$work/$t.log" | tail -n 40
        mkdir -p build-fuzz/findings
        for a in "$work/$t"-*; do [ -e "$a" ] && cp "$a" build-fuzz/findings/ && echo "kept: build-fuzz/findings/$(basename "$a")"; done
        status=1
    fi
done
exit $status
