#!/bin/sh
# Runs the ui suite as one process, from the sanitized build, N times in a
# row (20 unless told) with both cores kept busy beside it: a test that
# passes only on an idle machine fails here. Needs build-asan (see
# run_sanitized_suite.sh). Prints how many runs passed.
set -u
cd "$(dirname "$0")/.."
runs=${1:-20}
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tools/sanitizer.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
filter=$(grep 'UiSuite.OneProcess' build-asan/CTestTestfile.cmake | sed -n 's/.*--gtest_filter=\(-[^"]*\)".*/\1/p' | head -n 1)
[ -n "$filter" ] || { echo "no UiSuite.OneProcess in build-asan" >&2; exit 2; }
stress-ng --cpu 2 --quiet &
stress=$!
trap 'kill $stress 2>/dev/null' EXIT INT TERM
passed=0
i=1
while [ "$i" -le "$runs" ]; do
    log=build-asan/stress-run-$i.log
    start=$(date +%s)
    if env QT_QPA_PLATFORM=offscreen TATEYOKO_SOURCE_DIR="$(pwd)" TATEYOKO_APP_DIR="$(pwd)/build-asan/app" \
        build-asan/ui_tests "--gtest_filter=$filter" >"$log" 2>&1; then
        passed=$((passed + 1))
        rm -f "$log"
        echo "run $i: passed in $(($(date +%s) - start)) s"
    else
        echo "run $i: FAILED in $(($(date +%s) - start)) s, see $log"
        grep -E "^\[  FAILED|ERROR: .*Sanitizer|runtime error" "$log" | head -5
    fi
    i=$((i + 1))
done
echo "one-process ui suite under the sanitizers, cores busy: $passed of $runs runs passed"
[ "$passed" -eq "$runs" ]
