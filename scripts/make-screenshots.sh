#!/usr/bin/env bash
# Photographs every dialog template of TNP.cpl under Wine (Xvfb with openbox,
# code page 936) into docs/screenshots/template-<id>.png. Layout problems that
# the viewer measures (clipped text, overlapping controls) are printed.
#
# Usage: make-screenshots.sh [display number, default 101]
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/mingw"
output="$root/docs/screenshots"
display_number=${1:-101}
templates=(301 303 304 311 309 305 321 312 313 300 314 324 322 307 326 316 325 318 320 131)

bash "$root/scripts/install-deps.sh"
# shellcheck source=scripts/screenshots.sh
source "$root/scripts/screenshots.sh"

cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" --target TNP template_viewer -j2 >/dev/null

mkdir -p "$output"
trap screenshots_stop EXIT
screenshots_start "$display_number" "$build"
for id in "${templates[@]}"; do
    capture_template "$build" "$id" "$output/template-$id.png"
done
echo "Screenshots in $output"
