#!/usr/bin/env bash
# Photographs the keeper's menu under Wine (code page 936) into
# docs/screenshots/keeper-menu.png: tonalis.exe keep runs on a private X server
# with openbox, keeper_menu.exe opens its menu as a right click on the icon
# does, and the screen is cut to the menu.
#   bash scripts/make-keeper-screenshot.sh [display number]
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/mingw"
display_number=${1:-102}
# shellcheck source=scripts/screenshots.sh
source "$root/scripts/screenshots.sh"
for program in tonalis keeper_menu; do
    [[ -f $build/$program.exe ]] || { echo "build $program.exe first (cmake --build build/mingw --target $program)" >&2; exit 1; }
done
mkdir -p "$build/screenshots"
trap 'screenshots_stop' EXIT
screenshots_start "$display_number" "$build/screenshots" || exit 1
wine "$build/tonalis.exe" keep --interval 60 2>/dev/null &
for _ in $(seq 1 100); do
    wine "$build/keeper_menu.exe" 200 400 2>/dev/null && break
    sleep 0.2
done
# The menu opens above and right of the cursor, where nothing else is; wait
# until it is drawn.
shot="$build/screenshots/keeper-root.png"
for _ in $(seq 1 50); do
    import -window root "$shot" 2>/dev/null &&
        [[ $(convert "$shot" -crop 600x400+190+0 +repage -trim -format '%w' info: 2>/dev/null) -gt 50 ]] &&
        break
    sleep 0.2
done
convert "$shot" -crop 600x400+190+0 +repage -trim +repage "$root/docs/screenshots/keeper-menu.png" &&
    echo "wrote docs/screenshots/keeper-menu.png"
wine "$build/tonalis.exe" keep --stop >/dev/null 2>&1
