#!/usr/bin/env bash
# The open and save dialogs in a 64-bit prefix, whose 32-bit processes see
# another system folder: both open in the colour folder, and a profile saved
# there lands there. Usage: dialogs_in_64bit_prefix.sh BUILD_DIR RESULTS_DIR,
# with an X server on DISPLAY; the prefix is the one the installer check keeps.
set -uo pipefail
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/mingw/wineprefix64" WINEARCH=win64
trap 'wineserver -k 2>/dev/null' EXIT
[[ -f $WINEPREFIX/system.reg ]] || { wineboot --init >/dev/null 2>&1; wineserver -w; }
report="$2/win32_tests-wine64.xml"
rm -f "$report"
timeout --kill-after=10 300 wine "$build/mingw/win32_tests.exe" --gtest_brief=1 \
    --gtest_output="xml:$(winepath -w "$report")" --gtest_filter='ColourFolderDialogs.*'
status=$?
[[ -f $report ]] || { echo "no test report"; status=1; }
exit $status
