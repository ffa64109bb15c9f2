#!/bin/sh
# Installs what is missing, builds, and starts the program in build/app.
set -e
cd "$(dirname "$0")/.."
. tools/packages.sh
install_missing $RUN_PACKAGES
# The voice of the spoken 九九, from Debian's contrib area; without it the
# program is built as before, without its voice.
tools/fetch_voice.sh build/voice >/dev/null || echo "no voice for the spoken 九九: the program is built without it"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target tateyokom
cd build/app
exec ./tateyokom
