#!/bin/bash
# A private PulseAudio server with a null sink, for hearing the program's
# sounds where there is no sound card, no desktop session and no D-Bus
# (CI runs as root). Prints the environment its clients need:
#
#   eval "$(tools/start_pulse.sh)"      start it, or find it running
#   tools/start_pulse.sh stop           stop it
#
# What reaches the null sink can be recorded from tateyoko_null.monitor.
# TATEYOKO_PULSE_DIR chooses where the server keeps its socket and state.
set -euo pipefail

dir=${TATEYOKO_PULSE_DIR:-/tmp/tateyoko-pulse-$(id -u)}
socket=$dir/native
sink=tateyoko_null
server=unix:$socket
# The format of the program's own sounds: they reach the sink, and a
# recording in that format, sample for sample, with no resampling between.
format="format=s16le rate=22050 channels=1"

# The server must not touch the user's own sound settings or runtime folder.
pulse_env() {
    env HOME="$dir/home" XDG_RUNTIME_DIR="$dir/run" XDG_CONFIG_HOME="$dir/config" \
        PULSE_RUNTIME_PATH="$dir/run/pulse" PULSE_STATE_PATH="$dir/state" "$@"
}

ctl() { pulse_env pactl --server="$server" "$@"; }
running() { ctl info >/dev/null 2>&1; }

if [[ ${1:-} == stop ]]; then
    if [[ -f $dir/run/pulse/pid ]]; then
        pulse_env pulseaudio --kill >/dev/null 2>&1 || true
        for _ in $(seq 50); do running || break; sleep 0.1; done
    fi
    running && { echo "start_pulse.sh: the server at $server did not stop" >&2; exit 1; }
    exit 0
fi

if ! running; then
    command -v pulseaudio >/dev/null || { echo "start_pulse.sh: pulseaudio is not installed" >&2; exit 1; }
    mkdir -p "$dir/home" "$dir/run/pulse" "$dir/config" "$dir/state"
    # A server killed outright leaves its pid file, and until init reaps it
    # the pid still answers: the new server would take it for a running one.
    if [[ -f $dir/run/pulse/pid ]]; then
        state=$(awk '{ print $3 }' "/proc/$(cat "$dir/run/pulse/pid")/stat" 2>/dev/null || true)
        [[ -z $state || $state == Z ]] && rm -f "$dir/run/pulse/pid"
    fi
    chmod 700 "$dir" "$dir/run" "$dir/run/pulse"
    rm -f "$socket"
    # -n: no default.pa, so nothing looks for hardware, D-Bus or X11.
    # A null sink with nothing playing renders two seconds ahead at a time,
    # so a stream that starts then is not heard for up to two seconds; a
    # loopback of silence keeps it rendering in 20 ms steps.
    # The warning about running as root is harmless: a per-user server
    # serves root like anyone else.
    pulse_env pulseaudio --daemonize=yes --system=false -n \
        --exit-idle-time=-1 --disallow-exit --use-pid-file=yes \
        --high-priority=no --realtime=no \
        --log-target=file:"$dir/pulse.log" \
        --load="module-null-sink sink_name=$sink $format sink_properties=device.description=tateyoko_null" \
        --load="module-null-source source_name=tateyoko_silence $format" \
        --load="module-loopback source=tateyoko_silence sink=$sink latency_msec=20 source_dont_move=true sink_dont_move=true" \
        --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
        || { echo "start_pulse.sh: pulseaudio did not start; see $dir/pulse.log" >&2; exit 1; }
    for _ in $(seq 100); do running && break; sleep 0.1; done
    running || { echo "start_pulse.sh: no answer from $server; see $dir/pulse.log" >&2; exit 1; }
    # The sink rendered its first two seconds before the loopback came;
    # a suspend and resume starts its clock afresh at 20 ms steps.
    ctl suspend-sink "$sink" 1
    ctl suspend-sink "$sink" 0
fi

# Recordings of the monitor must show what was played, unchanged.
ctl set-default-sink "$sink"
ctl set-sink-volume "$sink" 100%
ctl set-sink-mute "$sink" 0
ctl set-source-volume "$sink.monitor" 100%
ctl set-source-mute "$sink.monitor" 0

echo "export PULSE_SERVER=$server"
# Clients are let in without it, but look for one and complain if it is missing.
echo "export PULSE_COOKIE=$dir/config/pulse/cookie"
