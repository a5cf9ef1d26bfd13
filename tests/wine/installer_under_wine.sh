#!/usr/bin/env bash
# The installer under Wine: a silent install puts TNP.cpl into the system
# folder with its Cpls value and an uninstall entry, the Control Panel loads it
# from there and opens it, tonalis.exe runs from Program Files; a silent
# uninstall leaves none of it, nor the logon entry, but keeps a saved profile
# and the remembered settings.
# Usage: installer_under_wine.sh BUILD_DIR RESULTS_DIR; the caller has set up
# the Wine prefix and runs an X server on DISPLAY.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/tool_checks.sh"
tool_checks_begin installer_under_wine "$1" "$2"
setup="$build/mingw/Tonalis-win32.exe"
drive="$WINEPREFIX/drive_c"
cpl="$drive/windows/system32/TNP.cpl"
program="$drive/Program Files/Tonalis"
profile="$drive/windows/system32/spool/drivers/color/tnl-installer.icc"
cpls_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tonalis'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
settings_key='HKCU\SOFTWARE\Orvane\Tonalis'

# Whatever a failed run left must not reach the other checks.
cleanup() {
    wineserver -k 2>/dev/null
    rm -rf "$cpl" "$program" "$profile" "$work"
    wine reg delete "$cpls_key" /v Tonalis /f >/dev/null 2>&1
    wine reg delete "$uninstall_key" /f >/dev/null 2>&1
    wine reg delete "$run_key" /v Tonalis /f >/dev/null 2>&1
    wine reg delete "$settings_key" /f >/dev/null 2>&1
}
trap cleanup EXIT

value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v name="$2" '$1 == name { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'; }

# wait_for_window TITLE: true once a window of that title, wider than a
# message box, is on the screen (within 60 s).
wait_for_window() {
    local title=$1
    for _ in $(seq 1 300); do
        xwininfo -root -tree 2>/dev/null |
            awk -v t="\"$title\": (" 'index($0, t) { split($(NF - 1), size, "x"); if (size[1] > 400) found = 1 }
                END { exit !found }' &&
            return 0
        sleep 0.2
    done
    return 1
}

[[ -f $setup ]] || { fail "the build made $setup"; finish; }
"$native" make -o "$work/saved.icc" >/dev/null && cp "$work/saved.icc" "$profile" ||
    fail "a saved profile is in the colour directory"
wine reg add "$settings_key" /v WizardOrPanel /t REG_DWORD /d 2 /f >/dev/null 2>&1

wine "$setup" /S
status=$?
[[ $status -eq 0 && -f $cpl && -f "$program/tonalis.exe" ]] &&
    pass "a silent install puts TNP.cpl and tonalis.exe in place" ||
    fail "silent install (status $status): $(ls "$cpl" "$program" 2>&1 | tr '\n' ' ')"
[[ $(value "$cpls_key" Tonalis) == 'C:\windows\system32\TNP.cpl' ]] &&
    pass "the Control Panel's Cpls value names the installed TNP.cpl" ||
    fail "Cpls value: $(value "$cpls_key" Tonalis)"
[[ $(value "$uninstall_key" QuietUninstallString) == '"C:\Program Files\Tonalis\uninstall.exe" /S' ]] &&
    pass "Programs and Features has an uninstall entry" ||
    fail "uninstall entry: $(wine reg query "$uninstall_key" 2>&1 | tr -d '\r')"

# The Control Panel loads the installed file to list it, then opens it.
WINEDEBUG=trace+shlctrl wine control.exe >"$work/control.log" 2>&1 &
wait_for_window 'Wine 控制面板' && grep -qF 'L"C:\\windows\\system32\\TNP.cpl"' "$work/control.log" &&
    ! xwininfo -root -tree | grep -q '"Tonalis":' &&
    pass "control.exe lists the installed TNP.cpl without a message" ||
    fail "control.exe lists it: $(grep -i tnp "$work/control.log" | head -2)"
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
wine control.exe 'C:\windows\system32\TNP.cpl' >/dev/null 2>&1 &
wait_for_window Tonalis && pass "control.exe opens Tonalis from the installed file" ||
    fail "control.exe opens Tonalis: $(xwininfo -root -tree | grep -c Tonalis) windows"
wineserver -k 2>/dev/null
wineserver -w 2>/dev/null

wine 'C:\Program Files\Tonalis\tonalis.exe' apply --install-logon 2>&1 | tr -d '\r' >"$work/out"
grep -qF '"C:\Program Files\Tonalis\tonalis.exe" keep' "$work/out" &&
    pass "tonalis.exe runs from Program Files: $(cat "$work/out")" ||
    fail "tonalis.exe from Program Files: $(cat "$work/out")"

wine 'C:\Program Files\Tonalis\uninstall.exe' /S
# The uninstaller runs on from a copy of itself: wait for every process.
wineserver -w
left=""
[[ -e $cpl ]] && left+=" TNP.cpl"
[[ -e $program ]] && left+=" Program Files\\Tonalis"
[[ -n $(value "$cpls_key" Tonalis) ]] && left+=" the Cpls value"
[[ -n $(value "$run_key" Tonalis) ]] && left+=" the Run value"
wine reg query "$uninstall_key" >/dev/null 2>&1 && left+=" the uninstall entry"
[[ -z $left ]] && pass "a silent uninstall removes files, registration and logon entry" ||
    fail "left after uninstall:$left"
cmp -s "$profile" "$work/saved.icc" && [[ $(value "$settings_key" WizardOrPanel) == 0x2 ]] &&
    pass "the saved profile and the settings stay" || fail "the saved profile or the settings are gone"

finish
