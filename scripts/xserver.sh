# Sourced by the test and run scripts: starts and stops a private X server.
# start_xserver dummy  -> Xorg with the dummy driver (a settable gamma ramp)
# start_xserver xvfb   -> Xvfb (no gamma ramp)

TONALIS_X_PID=""

start_xserver() {
    local kind=$1 display_number=$2 log=$3
    local here
    here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
    if [[ $kind == dummy ]]; then
        Xorg ":$display_number" -config "$here/xorg-dummy.conf" -noreset -nolisten tcp \
            -logfile "$log" >/dev/null 2>&1 &
    else
        Xvfb ":$display_number" -screen 0 1024x768x24 -nolisten tcp >"$log" 2>&1 &
    fi
    TONALIS_X_PID=$!
    export DISPLAY=":$display_number"
    for _ in $(seq 1 100); do
        if xdpyinfo >/dev/null 2>&1; then
            return 0
        fi
        sleep 0.1
    done
    echo "The X server ($kind) on :$display_number did not start; see $log" >&2
    return 1
}

stop_xserver() {
    if [[ -n $TONALIS_X_PID ]]; then
        kill "$TONALIS_X_PID" 2>/dev/null || true
        wait "$TONALIS_X_PID" 2>/dev/null || true
        TONALIS_X_PID=""
    fi
}
