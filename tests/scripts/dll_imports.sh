#!/usr/bin/env bash
# TNP.cpl must need nothing but system DLLs and export exactly what exists.
set -uo pipefail
export LC_ALL=C  # objdump's words are matched below
build=$1
results=$2
dll="$build/mingw/TNP.cpl"
passed=0
failed=0

check() {
    local description=$1
    shift
    if "$@"; then
        echo "ok: $description"
        passed=$((passed + 1))
    else
        echo "FAILED: $description"
        failed=$((failed + 1))
    fi
}

system_dlls='^(kernel32|user32|gdi32|advapi32|comctl32|comdlg32|shell32|msvcrt|ntdll)\.dll$'
imports=$(i686-w64-mingw32-objdump -p "$dll" | awk '/DLL Name:/ {print tolower($3)}')
exports=$(i686-w64-mingw32-objdump -p "$dll" |
    awk '/\[Ordinal\/Name Pointer\] Table/ {inside=1; next} inside && NF==0 {inside=0} inside {print $NF}')

only_system_dlls() {
    local name
    for name in $imports; do
        [[ $name =~ $system_dlls ]] || { echo "  imports $name"; return 1; }
    done
    [[ -n $imports ]]
}
entry_points='CPlApplet DllMain TNLWelcomeDlg TNLCurrentDlg TNLMonitorDlg TNLPhosphorsDlg
    TNLGammaDlg TNLWhiteBalDlg TNLWhiteAdjDlg TNLFinishFullDlg TNLTestDlg TNLCustomWhiteDlg
    TNLCustomPhosDlg TNLSaveWarnDlg TNLOpenfileHook TNLWhitePtWndProc TNLLoadCalibration
    TNLKeepCalibration'

exports_entry_points() {
    local name
    for name in $entry_points; do
        grep -qx "$name" <<<"$exports" || { echo "  missing $name"; return 1; }
    done
}
exports_no_decorated_names() {
    ! grep -q '@' <<<"$exports"
}
is_32_bit() {
    local header
    header=$(i686-w64-mingw32-objdump -f "$dll")
    grep -q 'file format pei-i386' <<<"$header"
}

check "TNP.cpl exists" test -f "$dll"
check "TNP.cpl imports only system DLLs" only_system_dlls
check "TNP.cpl exports the entry point and every dialog and window procedure" exports_entry_points
check "exported names carry no stdcall decoration" exports_no_decorated_names
check "TNP.cpl is a 32-bit image" is_32_bit

echo "$passed $failed" >"$results/dll_imports.counts"
[[ $failed -eq 0 ]]
