#!/bin/sh
# Builds the benchmarks and prints every figure in one run, on a private X
# server and a private sound server: start-up against a bare Qt window, CPU
# while a drill waits, lateness of its waits, key to screen, memory and size.
# Figures, not verdicts; about a quarter of an hour. BENCH_ONLY=125 (say) runs
# only those parts of the outside measurements.
set -e
cd "$(dirname "$0")/.."
. tools/packages.sh
install_missing $TEST_PACKAGES
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j2 --target tateyokom bench_reference bench_outside bench_drill_waits >/dev/null

WORK=$(mktemp -d)
cleanup() {
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
