#!/bin/sh
# Installs what is missing, builds, and starts the program in build/app.
set -e
cd "$(dirname "$0")/.."
. tools/packages.sh
install_missing $RUN_PACKAGES
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j2 --target tateyokom
cd build/app
exec ./tateyokom
