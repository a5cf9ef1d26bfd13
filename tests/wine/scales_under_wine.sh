#!/usr/bin/env bash
# At 96, 144 and 192 DPI (Wine's LogPixels): the dialog templates without
# overlaps or clipped texts, the gamma patch in device pixels, the white point
# squares as large on the screen as at 96. Usage: scales_under_wine.sh
# BUILD_DIR RESULTS_DIR, with the Wine prefix set up and an X server on DISPLAY.
set -uo pipefail
set_dpi() {
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
}
trap 'set_dpi 96' EXIT
status=0
for dpi in 96 144 192; do
    set_dpi "$dpi"
    TONALIS_EXPECTED_DPI=$dpi timeout --kill-after=10 300 wine "$1/mingw/win32_tests.exe" \
        --gtest_brief=1 --gtest_output="xml:$(winepath -w "$2/win32_tests-dpi$dpi.xml")" \
        --gtest_filter='*Template*:GammaSliders.ThePatch*:WhitePointScreen.TwoLeftClicks*' ||
        status=1
    [[ -f $2/win32_tests-dpi$dpi.xml ]] || { echo "$dpi DPI: no test report"; status=1; }
done
exit $status
