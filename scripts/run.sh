#!/usr/bin/env bash
# Builds TNP.cpl and opens it in Wine's Control Panel. With no display, the
# Control Panel opens on a virtual X server; a screenshot of it is saved and its
# path printed, then everything closes.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"

bash "$root/scripts/install-deps.sh"
# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"

cmake -S "$root" -B "$build/mingw" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build/mingw" --target TNP -j "$(nproc)" >/dev/null

headless=0
if [[ -z ${DISPLAY:-} ]]; then
    headless=1
    trap stop_xserver EXIT
    start_xserver xvfb 90 "$build/run-xvfb.log"
fi

setup_wine "$build/run"
# Installed where the Control Panel looks for applets.
cp "$build/mingw/TNP.cpl" "$WINEPREFIX/drive_c/windows/system32/TNP.cpl"

if [[ $headless -eq 0 ]]; then
    echo "Opening Tonalis in Wine's Control Panel (double-click its icon to start it)."
    wine control
    exit 0
fi

wine control &
control_pid=$!
for _ in $(seq 1 60); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"'; then
        sleep 3
        break
    fi
    sleep 0.5
done
screenshot="$build/tonalis-control-panel.png"
import -window root "$screenshot"
wineserver -k 2>/dev/null || true
wait "$control_pid" 2>/dev/null || true
echo "$screenshot"
