#!/usr/bin/env bash
# Both installers under Wine, in a 32-bit prefix and in a 64-bit one. Each goes
# silently over an older build of itself; the NSIS setup also over what the
# versions before 1.0 left (TNP.cpl in the system folder, Cpls values in both
# views, per-user Run values). Then the Control Panel lists Tonalis once and
# opens it, and the one logon entry is the 32-bit view's. A silent uninstall
# leaves no file, no Cpls value and no logon entry in any view or loaded hive,
# and keeps a saved profile, the settings and a copy's own logon entry.
# Usage: installer_under_wine.sh BUILD_DIR RESULTS_DIR; the caller has set up
# the 32-bit Wine prefix and runs an X server on DISPLAY.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib/tool_checks.sh"
tool_checks_begin installer_under_wine "$1" "$2"
sources=$(cd "$here/../../installer" && pwd)
setup="$build/mingw/Tonalis-win32.exe"
msi="$build/mingw/Tonalis-win32.msi"
lister="$build/mingw/control_panel_items.exe"
prefix32=$WINEPREFIX
run_key='Software\Microsoft\Windows\CurrentVersion\Run'
cpls_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
settings_key='HKCU\SOFTWARE\Orvane\Tonalis'
monitor_key='HKLM\SOFTWARE\Orvane\Color\Monitor'
# Two other users' hives, loaded: one ticked the box of an installed copy,
# one runs a copy of its own that was never installed.
other_user='HKU\S-1-5-21-7-7-7-1001'
own_copy_user='HKU\S-1-5-21-7-7-7-1002'
own_copy='rundll32.exe "D:\Tools\TNP.cpl",TNLLoadCalibration'
old_code=0B3F6E2A-9C41-4D7E-8A25-6F1C3B9D0E47

value() {
    wine reg query "$1" /v "$2" ${3:-} 2>/dev/null | tr -d '\r' |
        awk -v name="$2" 'index($0, "    " name "    ") == 1 { sub(/^ +[^ ].*    REG_[A-Z_]+    /, ""); print }'
}
msi_property() { msiinfo export "$1" Property | tr -d '\r' | awk -v p="$2" '$1 == p { print $2 }'; }
version=$(msi_property "$msi" ProductVersion)
new_code=$(msi_property "$msi" ProductCode)
upgrade_code=$(msi_property "$msi" UpgradeCode | tr -d '{}')

# The DisplayVersion of each entry in Programs and Features named Tonalis.
listed_versions() {
    wine reg query "$uninstall_key" /s /reg:32 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { name = ""; shown = "" } $1 == "DisplayName" { name = $3 }
             $1 == "DisplayVersion" { shown = $3 } name == "Tonalis" && shown != "" { print shown; name = "" }'
}

# wait_for_window TITLE: true once a window of that title, wider than a
# message box, is on the screen (within 60 s).
wait_for_window() {
    for _ in $(seq 1 300); do
        xwininfo -root -tree 2>/dev/null |
            awk -v t="\"$1\": (" 'index($0, t) { split($(NF - 1), size, "x"); if (size[1] > 400) found = 1 }
                END { exit !found }' && return 0
        sleep 0.2
    done
    return 1
}

# Whatever a failed run left must not reach the next prefix or the other checks.
clean_prefix() {
    wine msiexec /x "$new_code" /qn >/dev/null 2>&1
    wine msiexec /x "{$old_code}" /qn >/dev/null 2>&1
    rm -rf "$dir" "$drive/windows/$system/TNP.cpl" "$profile"
    local view
    for view in "${views[@]}"; do
        wine reg delete "$cpls_key" /v Tonalis /f "$view" >/dev/null 2>&1
        wine reg delete "HKLM\\$run_key" /v Tonalis /f "$view" >/dev/null 2>&1
        wine reg delete "$uninstall_key\\Tonalis" /f "$view" >/dev/null 2>&1
    done
    wine reg delete "HKCU\\$run_key" /v Tonalis /f >/dev/null 2>&1
    wine reg delete "$settings_key" /f >/dev/null 2>&1
    wine reg delete 'HKLM\SOFTWARE\Orvane' /f /reg:32 >/dev/null 2>&1
}
trap '[[ -n ${drive:-} ]] && clean_prefix; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

# use_prefix win32|win64: the prefix, created once and kept for later runs,
# and its paths. Its server stays up so that the users' hives stay loaded.
use_prefix() {
    kind=$1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    if [[ $kind == win64 ]]; then
        export WINEPREFIX="$build/mingw/wineprefix64" WINEARCH=win64
        [[ -f $WINEPREFIX/system.reg ]] || { wineboot --init >/dev/null 2>&1; wineserver -w; }
        programs='Program Files (x86)' system=syswow64 views=(/reg:32 /reg:64)
        control='C:\windows\syswow64\control.exe'
    else
        export WINEPREFIX=$prefix32 WINEARCH=win32
        programs='Program Files' system=system32 views=(/reg:32)
        control=control.exe
    fi
    wineserver -p
    drive="$WINEPREFIX/drive_c"
    dir="$drive/$programs/Tonalis"
    windows_dir="C:\\$programs\\Tonalis"
    keeper="rundll32.exe \"$windows_dir\\TNP.cpl\",TNLKeepCalibration"
    profile="$drive/windows/system32/spool/drivers/color/tnl-installer.icc"
    clean_prefix
    cp "$work/saved.icc" "$profile"
    wine reg add "$settings_key" /v WizardOrPanel /t REG_DWORD /d 2 /f >/dev/null 2>&1
    wine reg add "$monitor_key" /v 'Primary Monitor' /t REG_DWORD /d 1 /f /reg:32 >/dev/null 2>&1
    wine reg add "$own_copy_user\\$run_key" /v Tonalis /d "$own_copy" /f >/dev/null 2>&1
}

# What the versions before 1.0 left, and users' Run values naming it.
old_layout() {
    local old="C:\\windows\\$system\\TNP.cpl" view
    cp "$build/mingw/TNP.cpl" "$drive/windows/$system/TNP.cpl"
    for view in "${views[@]}"; do
        wine reg add "$cpls_key" /v Tonalis /d "$old" /f "$view" >/dev/null 2>&1
    done
    wine reg add "HKCU\\$run_key" /v Tonalis /d "rundll32.exe \"$old\",TNLLoadCalibration" /f >/dev/null 2>&1
    wine reg add "$other_user\\$run_key" /v Tonalis /d "rundll32.exe \"$old\",TNLLoadCalibration" /f >/dev/null 2>&1
}

# The Run value an applet of today writes for a user who ticked the logon box.
ticked_by_another_user() {
    wine reg add "$other_user\\$run_key" /v Tonalis /d "rundll32.exe \"$windows_dir\\TNP.cpl\",TNLLoadCalibration" \
        /f >/dev/null 2>&1
}

# The Control Panel as a user sees it: Tonalis once in its list, and open on Enter.
control_panel() {
    wine "$control" >/dev/null 2>&1 &
    local panel=$!
    wine "$lister" Tonalis 2>&1 | tr -d '\r' >"$work/items"
    [[ $(grep -cx Tonalis "$work/items") -eq 1 ]] && wait_for_window Tonalis &&
        pass "$1: the Control Panel lists Tonalis once and opens it" ||
        fail "$1: the Control Panel lists [$(paste -sd, "$work/items")] and shows $(xwininfo -root -tree | grep -c '"Tonalis"') Tonalis windows"
    wine taskkill /f /im rundll32.exe /im control.exe >/dev/null 2>&1
    wait "$panel"
}

# installed LABEL: this build's files, one entry in Programs and Features, and
# the Cpls and logon values in the 32-bit view only.
installed() {
    local label="$1 ($kind)" found="" view
    cmp -s "$dir/TNP.cpl" "$build/mingw/TNP.cpl" && cmp -s "$dir/tonalis.exe" "$build/mingw/tonalis.exe" &&
        [[ $(listed_versions) == "$version" ]] &&
        pass "$label puts this build's files in $programs\\Tonalis, listed once as $version" ||
        fail "$label: [$(ls "$dir" 2>&1 | paste -sd,)] listed as [$(listed_versions | paste -sd,)]"
    for view in "${views[@]}"; do
        found+="$view Cpls=$(value "$cpls_key" Tonalis "$view") Run=$(value "HKLM\\$run_key" Tonalis "$view"); "
    done
    local expected="/reg:32 Cpls=$windows_dir\\TNP.cpl Run=$keeper; "
    [[ $kind == win64 ]] && expected+="/reg:64 Cpls= Run=; "
    [[ $found == "$expected" ]] && pass "$label: the Cpls value and the keeper's logon entry, 32-bit view only" ||
        fail "$label registry: $found"
    control_panel "$label"
}

# removed LABEL: nothing of Tonalis anywhere; the user's things stay.
removed() {
    local label="$1 ($kind)" left="" view hive
    [[ -e $dir ]] && left+=" $programs\\Tonalis"
    [[ -e $drive/windows/$system/TNP.cpl ]] && left+=" $system\\TNP.cpl"
    for view in "${views[@]}"; do
        [[ -n $(value "$cpls_key" Tonalis "$view") ]] && left+=" Cpls$view"
        [[ -n $(value "HKLM\\$run_key" Tonalis "$view") ]] && left+=" Run$view"
    done
    for hive in HKCU "$other_user"; do
        [[ -n $(value "$hive\\$run_key" Tonalis) ]] && left+=" $hive Run"
    done
    [[ -n $(listed_versions) ]] && left+=" the uninstall entry"
    [[ -z $left ]] && pass "$label leaves no file, Cpls value, logon entry or uninstall entry" ||
        fail "$label left:$left"
    cmp -s "$profile" "$work/saved.icc" && [[ $(value "$settings_key" WizardOrPanel) == 0x2 &&
        $(value "$monitor_key" 'Primary Monitor' /reg:32) == 0x1 &&
        $(value "$own_copy_user\\$run_key" Tonalis) == "$own_copy" ]] &&
        pass "$label keeps the saved profile, the settings and a copy's own logon entry" ||
        fail "$label lost the saved profile, the settings or a copy's own logon entry"
}

# The uninstaller runs on from a copy of itself: wait for its work to be done.
wait_gone() {
    for _ in $(seq 1 300); do
        [[ -e $1 ]] || return 0
        sleep 0.2
    done
}

[[ -f $setup && -f $msi && -f $lister ]] || { fail "the build made $setup, $msi and $lister"; finish; }
"$native" make -o "$work/saved.icc" >/dev/null || fail "a profile to keep"
# An older build: the same packages at 0.9.0, around a TNP.cpl that differs.
mkdir -p "$work/old"
cp "$build/mingw/tonalis.exe" "$build/mingw/tonalis_msi_actions.dll" "$work/old/"
{ cat "$build/mingw/TNP.cpl"; echo 0.9.0; } >"$work/old/TNP.cpl"
makensis -V1 -DBUILD_DIR="$work/old" -DVERSION=0.9.0 -DUPGRADE_CODE="$upgrade_code" \
    -DOUTPUT="$work/old.exe" "$sources/tonalis.nsi" &&
    (cd "$work" && wixl -D BuildDir="$(realpath --relative-to="$sources" old)" -D Version=0.9.0 \
        -D ProductCode=$old_code -D UpgradeCode="$upgrade_code" -o old.msi "$sources/tonalis.wxs") ||
    { fail "the older packages build"; finish; }

for kind in win32 win64; do
    use_prefix $kind
    wine "$work/old.exe" /S
    old_layout
    wine "$setup" /S && installed "the NSIS setup over 0.9.0 and the old layout"
    [[ -z $(value "HKCU\\$run_key" Tonalis)$(value "$other_user\\$run_key" Tonalis) ]] &&
        pass "the NSIS setup ($kind) removes the users' Run values that named the old file" ||
        fail "the NSIS setup ($kind) left users' Run values: $(value "$other_user\\$run_key" Tonalis)"
    wine msiexec /i "$(winepath -w "$msi")" /qn
    status=$?
    [[ $status -ne 0 && $(listed_versions) == "$version" ]] &&
        pass "the MSI ($kind) refuses to install over the NSIS setup (status $status)" ||
        fail "the MSI over the NSIS setup ($kind): status $status, listed as [$(listed_versions | paste -sd,)]"
    ticked_by_another_user
    wine "$windows_dir\\uninstall.exe" /S
    wait_gone "$dir"
    removed "the NSIS uninstaller"

    wine msiexec /i "$(winepath -w "$work/old.msi")" /qn &&
        wine msiexec /i "$(winepath -w "$msi")" /qn && installed "the MSI over 0.9.0" ||
        fail "msiexec /i ($kind) of 0.9.0, then $version"
    wine "$setup" /S
    status=$?
    # 1638, "another version of this product is installed", as a Unix status.
    [[ $status -eq $((1638 % 256)) && $(listed_versions) == "$version" && ! -e "$dir/uninstall.exe" ]] &&
        pass "the NSIS setup ($kind) refuses to install over the MSI (status $status)" ||
        fail "the NSIS setup over the MSI ($kind): status $status, listed as [$(listed_versions | paste -sd,)]"
    ticked_by_another_user
    wine msiexec /x "$(winepath -w "$msi")" /qn
    removed "msiexec /x"
done

finish
