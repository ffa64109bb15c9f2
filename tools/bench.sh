#!/bin/sh
# Builds the benchmarks and prints every figure in one run, on a private X
# server and a private sound server: start-up against a bare Qt window, CPU
# while a drill waits, lateness of its waits, answer times against the key
# events' own, key to screen, memory and size; then start-up, waits, answer
# times and key to screen again with both cores busy (stress-ng and a
# compile), each beside its idle figure. Figures, not verdicts; about twenty
# minutes. BENCH_ONLY=125 (say) runs only those parts of the outside
# measurements; BENCH_LOADED=0 leaves out the busy half.
set -e
cd "$(dirname "$0")/.."
. tools/packages.sh
install_missing $TEST_PACKAGES
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target tateyokom bench_reference bench_outside bench_drill_waits >/dev/null

WORK=$(mktemp -d)
# Both cores busy: two workers of stress-ng, and a compile of our own sources
# over and over, as a child's computer may be busy when a parent installs
# something.
busy_start() {
    stress-ng --cpu 2 --timeout 3600 >/dev/null 2>&1 &
    STRESS_PID=$!
    ( while :; do c++ -std=c++20 -O2 -I. $(pkg-config --cflags Qt6Core) -fPIC \
          -c main/core/TestRunner.cpp -o "$WORK/busy.o" 2>/dev/null; done ) &
    COMPILE_PID=$!
    sleep 2
}
busy_stop() {
    [ -n "${STRESS_PID:-}" ] && kill "$STRESS_PID" 2>/dev/null || true
    [ -n "${COMPILE_PID:-}" ] && kill "$COMPILE_PID" 2>/dev/null || true
    STRESS_PID="" COMPILE_PID=""
}
cleanup() {
    busy_stop
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    TATEYOKO_PULSE_DIR="$WORK/pulse" tools/start_pulse.sh stop >/dev/null 2>&1 || true
    rm -rf "$WORK"
}
trap cleanup EXIT INT TERM

. tools/private_xvfb.sh
start_private_xvfb "$WORK"
mkdir -m 700 "$WORK/run" && export XDG_RUNTIME_DIR="$WORK/run"
eval "$(TATEYOKO_PULSE_DIR="$WORK/pulse" tools/start_pulse.sh)"

echo "Bench of tateyokom, $(date '+%Y-%m-%d %H:%M'), commit $(git rev-parse --short HEAD 2>/dev/null || echo '?')"
echo "Machine: $(nproc) cores, load average$(uptime | sed 's/.*load average//')"
echo "X display $DISPLAY (private Xvfb), sound: private PulseAudio null sink"
echo
mkdir -p "$WORK/scratch"
outside() { BENCH_ONLY=$1 build/bench_outside build/app build/bench_reference "$WORK/scratch"; }
outside 12
echo "3. $(build/bench_drill_waits)"
outside 45
if [ "${BENCH_LOADED:-1}" != 0 ] && command -v stress-ng >/dev/null; then
    echo
    echo "With both cores busy (stress-ng --cpu 2 and a compile), beside the idle figures above"
    busy_start
    echo "Machine busy: load average$(uptime | sed 's/.*load average//')"
    BENCH_ROUNDS=${BENCH_ROUNDS:-3} outside 1 | sed 's/^/busy /'
    echo "busy 3. $(build/bench_drill_waits)" | sed '2,$s/^/busy /'
    outside 4 | sed 's/^/busy /'
    busy_stop
fi
echo "6. Size"
printf '   %-22s %6s kB (stripped %s kB)\n' tateyokom "$(( $(stat -c %s build/app/tateyokom) / 1024 ))" \
    "$(strip -o "$WORK/stripped" build/app/tateyokom && echo $(( $(stat -c %s "$WORK/stripped") / 1024 )))"
for f in build/app/*; do
    [ "$f" = build/app/tateyokom ] && continue
    [ -f "$f" ] && printf '   %-22s %6s kB\n' "$(basename "$f")" "$(( ($(stat -c %s "$f") + 1023) / 1024 ))"
done
printf '   %-22s %6s kB\n' "all of build/app" "$(du -sk build/app | cut -f1)"
printf '   shared libraries loaded: %s\n' "$(ldd build/app/tateyokom | grep -c '=>')"
echo "Machine afterwards: load average$(uptime | sed 's/.*load average//')"
