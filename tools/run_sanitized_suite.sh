#!/bin/sh
# Builds the program and its tests once more with AddressSanitizer and
# UndefinedBehaviorSanitizer (g++, build-asan/) and runs every test there:
# any memory error, leak or undefined behaviour fails its test. Uses the
# services (X display, sound server) that the test command has started.
set -eu
cd "$(dirname "$0")/.."
log=$(mktemp)
trap 'rm -f "$log"' EXIT
flags="-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
# The same time limits as the plain run, three times longer: the sanitized
# Debug build runs two to three times slower.
if ! { cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DTATEYOKO_TEST_TIME_SCALE=3 \
           -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" &&
       cmake --build build-asan -j2 --target core_tests ui_tests tateyokom save_loop journey screenshots \
           voice_tests voice_system_tests; } >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "sanitized build failed" >&2
    exit 1
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1"
export LSAN_OPTIONS="suppressions=$(pwd)/tools/sanitizer.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
ctest --test-dir build-asan --output-on-failure -j2 >"$log" 2>&1 && status=0 || status=$?
if [ $status -ne 0 ]; then
    echo "---- failures under the sanitizers ----"
    # What each failing test printed: its last lines say why.
    grep -B2 -A25 "\\*\\*\\*Failed\\|\\*\\*\\*Exception\\|\\*\\*\\*Timeout" "$log" | head -200
    grep -E "ERROR: (Address|Leak)Sanitizer|runtime error:|SUMMARY:" "$log" | head -40
    sed -n '/The following tests FAILED/,$p' "$log"
fi
echo "sanitizers: $(grep -E '^[0-9]+% tests passed' "$log" || echo 'no summary')"
exit $status
