#!/usr/bin/env bash
# Runs one cross-built suite under Wine on a private X server, for work on a
# few tests without the whole test command:
#   bash scripts/wine-suite.sh xvfb|dummy|dummy-right PROGRAM.exe [gtest args...]
# The build must exist in build/mingw; TONALIS_DISPLAY_BASE picks the display.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
setup=$1 program=$2
shift 2
display=${TONALIS_DISPLAY_BASE:-91}
# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
trap 'kill "$wm" 2>/dev/null; wineserver -k 2>/dev/null; stop_xserver' EXIT
setup_wine "$build/mingw" unmanaged
mkdir -p "$build/results/e2e-profiles"
TONALIS_E2E_OUTPUT=$(winepath -w "$build/results/e2e-profiles" 2>/dev/null)
export TONALIS_E2E_OUTPUT
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
kind=dummy
[[ $setup == xvfb ]] && kind=xvfb
start_xserver "$kind" "$display" "$build/suite-x.log" || exit 1
wm=""
if [[ $program == e2e_tests.exe ]] && command -v openbox >/dev/null; then
    openbox --sm-disable >/dev/null 2>&1 &
    wm=$!
    for _ in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.1
    done
fi
if [[ $setup == dummy-right ]]; then
    xrandr --addmode DUMMY1 1024x768 && xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 &&
        xrandr >/dev/null
fi
TONALIS_DISPLAY_SETUP=$setup TONALIS_BUILD_DIR="$build/mingw" \
    timeout --kill-after=10 900 wine "$build/mingw/$program" "$@"
