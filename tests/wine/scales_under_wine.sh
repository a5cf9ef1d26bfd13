#!/usr/bin/env bash
# The applet at display scales of 100, 150 and 200 % (Wine takes its DPI from
# the LogPixels value of its registry): every dialog template without overlaps
# or clipped texts, the gamma patch drawn in device pixels, and the white
# point squares as large on the screen as at 100 %.
# Usage: scales_under_wine.sh BUILD_DIR RESULTS_DIR; the caller has set up the
# Wine prefix and runs an X server on DISPLAY.
set -uo pipefail

build=$(cd "$1" && pwd)
results=$2
desktop_key='HKCU\Control Panel\Desktop'

# The next Wine process takes the new DPI.
set_dpi() {
    wine reg add "$desktop_key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
trap 'set_dpi 96' EXIT

scaled_tests='*Template*:GammaSliders.ThePatch*:WhitePointScreen.TwoLeftClicks*'
status=0
for dpi in 96 144 192; do
    set_dpi "$dpi"
    echo "--- $dpi DPI"
    report=$(winepath -w "$results/win32_tests-dpi$dpi.xml" 2>/dev/null)
    TONALIS_EXPECTED_DPI=$dpi timeout --kill-after=10 300 wine "$build/mingw/win32_tests.exe" \
        --gtest_brief=1 --gtest_filter="$scaled_tests" --gtest_output="xml:$report" || status=1
    [[ -f $results/win32_tests-dpi$dpi.xml ]] || { echo "$dpi DPI: no test report"; status=1; }
done
exit $status
