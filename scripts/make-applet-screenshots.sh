#!/usr/bin/env bash
# Makes docs/screenshots/: a picture of every page and dialog of the running
# applet, taken by the tour program on private X servers with a window manager
# for the captions. Xorg's dummy driver (a settable gamma ramp) shows the
# pages of the lookup table; Xvfb (none) shows the finish page without the
# comparison. The gamma page is also taken at a display scale of 150 %. Display numbers: TONALIS_SCREENSHOT_DISPLAYS (two, default
# "94 95").
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
target="$root/docs/screenshots"
read -r dummy_display xvfb_display <<<"${TONALIS_SCREENSHOT_DISPLAYS:-94 95}"

# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

cmake -S "$root" -B "$build/mingw" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/mingw" --target TNP tour -j "$(nproc)" >/dev/null
setup_wine "$build/screenshots"

wm_pid=""
cleanup() {
    [[ -n $wm_pid ]] && kill "$wm_pid" 2>/dev/null
    wm_pid=""
    wineserver -k 2>/dev/null || true
    stop_xserver
}
trap cleanup EXIT

# tour KIND DISPLAY FOLDER
tour() {
    start_xserver "$1" "$2" "$build/screenshots-$1.log"
    openbox >/dev/null 2>&1 &
    wm_pid=$!
    sleep 1
    rm -rf "$3"
    mkdir -p "$3"
    wine "$build/mingw/tour.exe" "$(winepath -w "$3")" | tr -d '\r'
    cleanup
}

# set_dpi DPI: the scale the next Wine process runs at (LogPixels, 96 = 100 %).
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}

tour dummy "$dummy_display" "$build/screenshots/dummy"
tour xvfb "$xvfb_display" "$build/screenshots/xvfb"
# The gamma page once more at 150 %: the lined field still alternates on
# every device row.
set_dpi 144
tour dummy "$dummy_display" "$build/screenshots/dummy-150"
set_dpi 96

mkdir -p "$target"
for bitmap in "$build/screenshots/dummy"/*.bmp "$build/screenshots/xvfb/313-finish.bmp"; do
    [[ -f $bitmap ]] || continue
    convert "$bitmap" "$target/$(basename "${bitmap%.bmp}").png"
done
convert "$build/screenshots/dummy-150/309-gamma.bmp" "$target/309-gamma-150-percent.png"
ls -1 "$target"
