# Sourced: start_private_xvfb FOLDER starts an X server of its own, on a
# display number Xvfb picks itself (written to a pipe), sets XVFB_PID and
# DISPLAY, and fails when no display came within five seconds.
start_private_xvfb() {
    exec 3>"$1/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$1/xvfb.log" 2>&1 &
    XVFB_PID=$!
    exec 3>&-
    for _ in $(seq 100); do [ -s "$1/display" ] && break; sleep 0.05; done
    [ -s "$1/display" ] || { echo "Xvfb did not start:"; cat "$1/xvfb.log"; return 1; }
    DISPLAY=":$(cat "$1/display")"
    export DISPLAY
}
