# Sourced by make-screenshots.sh (and by anything else that photographs
# Tonalis's windows): an X server with a window manager so that captions show,
# Wine in code page 936, and captures of single windows.
#
#   screenshots_start <display number> <build folder>   X server, openbox, Wine
#   wait_for_x_window <title> [seconds]                 prints the X window of a Wine window
#   capture_x_window <X window id> <png>                the window with its frame
#   capture_template <build folder> <template id> <png> one template, via template_viewer.exe
#   screenshots_stop                                    stops all of the above

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=scripts/xserver.sh
source "$here/xserver.sh"
# shellcheck source=scripts/wine-env.sh
source "$here/wine-env.sh"

TONALIS_WM_PID=""

screenshots_start() {
    local display_number=$1 build=$2
    start_xserver xvfb "$display_number" "$build/screenshots-xvfb.log" || return 1
    openbox --sm-disable >"$build/screenshots-openbox.log" 2>&1 &
    TONALIS_WM_PID=$!
    # The window manager owns the screen once it announces itself on the root.
    local managed=0
    for _ in $(seq 1 50); do
        if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
            managed=1
            break
        fi
        sleep 0.1
    done
    if [[ $managed -eq 0 ]]; then
        echo "openbox did not start; see $build/screenshots-openbox.log" >&2
        return 1
    fi
    setup_wine "$build"
}

screenshots_stop() {
    wineserver -k 2>/dev/null || true
    if [[ -n $TONALIS_WM_PID ]]; then
        kill "$TONALIS_WM_PID" 2>/dev/null || true
        wait "$TONALIS_WM_PID" 2>/dev/null || true
        TONALIS_WM_PID=""
    fi
    stop_xserver
}

# The window manager's frame around a client window: its ancestor just below the root.
frame_of() {
    local window=$1 line
    for _ in $(seq 1 10); do
        line=$(timeout 10 xwininfo -children -id "$window" | grep 'Parent window id:')
        [[ $line == *"(the root window)"* || -z $line ]] && break
        window=$(awk '{print $4}' <<<"$line")
    done
    echo "$window"
}

# Wine gives each top-level window an X window named after its caption.
wait_for_x_window() {
    local title=$1 seconds=${2:-20} window=""
    for _ in $(seq 1 $((seconds * 10))); do
        window=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$title\":" | awk '{print $1; exit}')
        if [[ -n $window ]]; then
            echo "$window"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

capture_x_window() {
    local window=$1 png=$2
    timeout 20 import -window "$(frame_of "$window")" "$png"
}

# Shows template <id> with template_viewer.exe and photographs it. The viewer's
# report (pixel rectangles, text fit) stays in <build>/screenshots-<id>.txt;
# its clipped texts and overlaps are printed.
capture_template() {
    local build=$1 id=$2 png=$3
    local report="$build/screenshots-$id.txt"
    wine "$build/template_viewer.exe" "$build/TNP.cpl" "$id" 3000 >"$report" 2>&1 &
    local viewer=$!
    local window=""
    for _ in $(seq 1 100); do
        window=$(tr -d '\r' <"$report" 2>/dev/null | awk '/^window / {print $2; exit}')
        [[ -n $window ]] && break
        sleep 0.1
    done
    if [[ -z $window || $window == 0x0 ]]; then
        echo "template $id: no window (see $report)" >&2
        kill "$viewer" 2>/dev/null || true
        wait "$viewer" 2>/dev/null || true
        return 1
    fi
    sleep 0.5  # let the frame and the controls finish painting
    capture_x_window "$window" "$png"
    wait "$viewer" 2>/dev/null || true
    tr -d '\r' <"$report" | { grep -E 'CLIPPED|OVERLAP|OUTSIDE' || true; } | sed "s/^/template $id: /" >&2
}
