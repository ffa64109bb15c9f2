#!/bin/sh
# Runs a test program as an ordinary user. Root ignores permission bits, so
# tests of locked folders and files only mean something for another user;
# under root (as in CI) the user is made once and the program runs as it.
# A skipped test counts as a failure here: this run exists to not skip them.
set -eu
USER_NAME=tateyoko-test
if [ "$(id -u)" = 0 ]; then
    id "$USER_NAME" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$USER_NAME"
    out=$(cd /tmp && runuser -u "$USER_NAME" -- env HOME=/tmp TMPDIR=/tmp "$@" 2>&1) && status=0 || status=$?
else
    out=$("$@" 2>&1) && status=0 || status=$?
fi
printf '%s\n' "$out"
if printf '%s\n' "$out" | grep -q '^\[  SKIPPED \]'; then
    echo "a test was skipped although it ran as an ordinary user" >&2
    exit 1
fi
exit $status
