#!/bin/sh
# Installs what is missing, builds everything and runs every test. Starts
# what the tests need itself: a private X server, a private sound server and
# a private print server.
set -e
cd "$(dirname "$0")/.."
. tools/packages.sh
install_missing $TEST_PACKAGES
# The voice of the spoken 九九, from Debian's contrib area; without it the
# program is built as before, without its voice.
tools/fetch_voice.sh build/voice >/dev/null || echo "no voice for the spoken 九九: the program is built without it"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2

SERVICES_DIR=$(mktemp -d)
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -x tools/start_pulse.sh ] && tools/start_pulse.sh stop >/dev/null 2>&1 || true
    [ -x tools/start_cups.sh ] && tools/start_cups.sh stop >/dev/null 2>&1 || true
    rm -rf "$SERVICES_DIR"
}
trap cleanup EXIT

# A private X display for the tests that use a real window; they are told
# it by name, and the caller's own DISPLAY stays as it was.
caller_display=${DISPLAY-}
. tools/private_xvfb.sh
start_private_xvfb "$SERVICES_DIR"
export TATEYOKO_X_DISPLAY="$DISPLAY"
if [ -n "$caller_display" ]; then DISPLAY=$caller_display; else unset DISPLAY; fi

# A private sound server with a null sink.
if [ -x tools/start_pulse.sh ]; then
    eval "$(tools/start_pulse.sh)"
fi

# No session bus. Without an address, the first window of every Qt program
# forks a D-Bus autolaunch helper, and a child forked from a sanitized
# build can hang before it execs, and the program with it. An address
# that leads nowhere fails at once.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$SERVICES_DIR/no-bus"

# A private print server whose default printer writes PDF files. Where it
# cannot start (the cups-pdf backend needs root) the print test is skipped,
# and says why; in CI it fails instead.
if [ -x tools/start_cups.sh ]; then
    if CUPS_ENV=$(tools/start_cups.sh 2>"$SERVICES_DIR/cups.err"); then
        eval "$CUPS_ENV"
    else
        echo "no private print server, the print test will not run: $(cat "$SERVICES_DIR/cups.err")"
    fi
fi

ctest --test-dir build --output-on-failure -j2 >"$SERVICES_DIR/ctest.log" 2>&1 && status=0 || status=$?
if [ $status -ne 0 ]; then
    echo "---- failures ----"
    grep -B2 -A25 "\*\*\*Failed\|\*\*\*Exception\|\*\*\*Timeout\|Not Run" "$SERVICES_DIR/ctest.log" | head -300
    sed -n '/The following tests FAILED/,$p' "$SERVICES_DIR/ctest.log"
fi
grep -E "\(Skipped\)$" "$SERVICES_DIR/ctest.log" | sed 's/^ */skipped: /' | sort -u || true

# ---- reliability: the whole suite again under ASan and UBSan, then the fuzzers ----
if [ -x tools/run_sanitized_suite.sh ]; then
    sh tools/run_sanitized_suite.sh || status=1
    sh tools/run_fuzzers.sh || status=1
fi
# ---- end of reliability ----

grep -E "^[0-9]+% tests passed" "$SERVICES_DIR/ctest.log" || tail -n 5 "$SERVICES_DIR/ctest.log"
exit $status
