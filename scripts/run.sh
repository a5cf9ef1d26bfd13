#!/usr/bin/env bash
# Builds TNP.cpl and opens the applet itself in Wine, as the Control Panel
# starts it when its icon is double-clicked. With no display, the applet runs
# on a virtual X server (Xorg's dummy driver, whose gamma ramp can be set,
# else Xvfb) with a window manager for the captions when one is installed;
# it is walked through every page and dialog, a screenshot of each is saved,
# and their paths are printed.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

bash "$root/scripts/install-deps.sh"
# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

cmake -S "$root" -B "$build/mingw" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/mingw" --target TNP tour -j "$(nproc)" >/dev/null

setup_wine "$build/run"

if [[ -n ${DISPLAY:-} ]]; then
    echo "Opening Tonalis in Wine."
    exec wine control.exe "$(winepath -w "$build/mingw/TNP.cpl")"
fi

wm_pid=""
cleanup() {
    [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
    wineserver -k 2>/dev/null || true
    stop_xserver
}
trap cleanup EXIT

kind=xvfb
if command -v Xorg >/dev/null; then
    kind=dummy
fi
display_number=${TONALIS_RUN_DISPLAY:-90}
start_xserver "$kind" "$display_number" "$build/run-x.log" ||
    { kind=xvfb; start_xserver xvfb "$display_number" "$build/run-x.log"; }
if command -v openbox >/dev/null; then
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    sleep 1
fi

shots="$build/run-screenshots"
rm -rf "$shots"
mkdir -p "$shots"
echo "Walking through Tonalis on a virtual X server ($kind):"
wine "$build/mingw/tour.exe" "$(winepath -w "$shots")" | tr -d '\r' | sed 's/^/  /'
for bitmap in "$shots"/*.bmp; do
    [[ -f $bitmap ]] || continue
    convert "$bitmap" "${bitmap%.bmp}.png" && rm "$bitmap"
done
echo "Screenshots:"
ls -1 "$shots"/*.png
