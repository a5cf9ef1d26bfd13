#!/usr/bin/env bash
# The open and save dialogs in the 64-bit prefix the installer check keeps,
# whose 32-bit processes see another system folder: both open in the colour
# folder and save there. Usage: dialogs_in_64bit_prefix.sh BUILD_DIR RESULTS_DIR.
build=$(cd "$1" && pwd)
export WINEPREFIX="$build/mingw/wineprefix64" WINEARCH=win64
trap 'wineserver -k 2>/dev/null' EXIT
[[ -f $WINEPREFIX/system.reg ]] || { wineboot --init >/dev/null 2>&1; wineserver -w; }
timeout --kill-after=10 300 wine "$build/mingw/win32_tests.exe" --gtest_brief=1 \
    --gtest_output="xml:$(winepath -w "$2/win32_tests-wine64.xml")" --gtest_filter='ColourFolder*'
