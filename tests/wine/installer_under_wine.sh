#!/usr/bin/env bash
# Both installers under Wine, in a 32-bit and a 64-bit prefix: each silently
# over an older build of itself (the NSIS setup also over the layout before
# 1.0), then Tonalis listed once in the Control Panel and opened, one logon
# entry, run as the logon runs it; a silent uninstall with the applet open ends
# the keeper and, after a restart, leaves nothing in any view or loaded hive
# and keeps the user's profile and settings. Each refuses to install over the
# other.
# Usage: installer_under_wine.sh BUILD_DIR RESULTS_DIR; the caller has set up
# the 32-bit Wine prefix and runs an X server on DISPLAY.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/lib/tool_checks.sh"
tool_checks_begin installer_under_wine "$1" "$2"
sources=$(cd "$here/../../installer" && pwd)
setup="$build/mingw/Tonalis-win32.exe" msi="$build/mingw/Tonalis-win32.msi" prefix32=$WINEPREFIX
run='Software\Microsoft\Windows\CurrentVersion\Run'
cpls='HKLM\Software\Microsoft\Windows\CurrentVersion\Control Panel\Cpls'
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
settings='HKCU\SOFTWARE\Orvane\Tonalis' monitor='HKLM\SOFTWARE\Orvane\Color\Monitor'
# Other users' loaded hives: one ticked the logon box, one runs a copy never installed.
other='HKU\S-1-5-21-7-7-7-1001' own_user='HKU\S-1-5-21-7-7-7-1002'
own_copy='rundll32.exe "D:\Tools\TNP.cpl",TNLLoadCalibration'
old_code=0B3F6E2A-9C41-4D7E-8A25-6F1C3B9D0E47

value() {
    wine reg query "$1" /v "$2" ${3:-} 2>/dev/null | tr -d '\r' |
        awk -v name="$2" 'index($0, "    " name "    ") == 1 { sub(/^ +[^ ].*    REG_[A-Z_]+    /, ""); print }'
}
add() { wine reg add "$1" /v "$2" /d "$3" /f ${4:-} >/dev/null 2>&1; }
msi_property() { msiinfo export "$1" Property | tr -d '\r' | awk -v p="$2" '$1 == p { print $2 }'; }
version=$(msi_property "$msi" ProductVersion) new_code=$(msi_property "$msi" ProductCode)
upgrade_code=$(msi_property "$msi" UpgradeCode | tr -d '{}')
# The DisplayVersion of each entry named Tonalis in Programs and Features.
listed() {
    wine reg query "$uninstall" /s /reg:32 2>/dev/null | tr -d '\r' |
        awk '/^HKEY/ { name = "" } $1 == "DisplayName" { name = $3 }
             $1 == "DisplayVersion" && name == "Tonalis" { print $3 }' | paste -sd,
}
# A window of that title wider than a message box, within 60 s.
wait_for_window() {
    for _ in $(seq 1 300); do
        xwininfo -root -tree 2>/dev/null | awk -v t="\"$1\": (" 'index($0, t) {
            split($(NF - 1), size, "x"); if (size[1] > 400) found = 1 } END { exit !found }' && return 0
        sleep 0.2
    done
    return 1
}

# Whatever a failed run left must not reach the next prefix or the other checks.
clean_prefix() {
    wine msiexec /x "$new_code" /qn >/dev/null 2>&1
    wine msiexec /x "{$old_code}" /qn >/dev/null 2>&1
    rm -rf "$dir" "$drive/windows/$system/TNP.cpl" "$profile"
    for view in "${views[@]}"; do
        wine reg delete "$cpls" /v Tonalis /f "$view"
        wine reg delete "HKLM\\$run" /v Tonalis /f "$view"
        wine reg delete "$uninstall\\Tonalis" /f "$view"
    done >/dev/null 2>&1
    { wine reg delete "HKCU\\$run" /v Tonalis /f; wine reg delete "$settings" /f
      wine reg delete 'HKLM\SOFTWARE\Orvane' /f /reg:32; } >/dev/null 2>&1
}
trap '[[ -n ${drive:-} ]] && clean_prefix; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT

# use_prefix win32|win64: the prefix (the 64-bit one made once, kept for later
# runs) with the user's profile and settings; its server stays up so that the
# users' hives stay loaded.
use_prefix() {
    kind=$1
    wineserver -k 2>/dev/null
    wineserver -w 2>/dev/null
    export WINEPREFIX=$prefix32 WINEARCH=$kind
    programs='Program Files' system=system32 views=(/reg:32) control=control.exe
    rundll='C:\windows\system32\rundll32.exe'
    if [[ $kind == win64 ]]; then
        WINEPREFIX="$build/mingw/wineprefix64"
        [[ -f $WINEPREFIX/system.reg ]] || { wineboot --init >/dev/null 2>&1; wineserver -w; }
        programs='Program Files (x86)' system=syswow64 views=(/reg:32 /reg:64)
        control='C:\windows\syswow64\control.exe' rundll='C:\windows\syswow64\rundll32.exe'
    fi
    wineserver -p
    drive="$WINEPREFIX/drive_c" windows_dir="C:\\$programs\\Tonalis"
    dir="$drive/$programs/Tonalis" profile="$drive/windows/system32/spool/drivers/color/tnl-installer.icc"
    clean_prefix
    cp "$work/saved.icc" "$profile"
    wine reg add "$settings" /v WizardOrPanel /t REG_DWORD /d 2 /f >/dev/null 2>&1
    wine reg add "$monitor" /v 'Primary Monitor' /t REG_DWORD /d 1 /f /reg:32 >/dev/null 2>&1
    add "$own_user\\$run" Tonalis "$own_copy"
}

# installed LABEL: this build's files, listed once in Programs and Features
# and in the Control Panel, which opens it on Enter; the Cpls value and the
# keeper's logon entry in the 32-bit view only.
installed() {
    local found="" expected="/reg:32 $windows_dir\\TNP.cpl \"$rundll\" \"$windows_dir\\TNP.cpl\",TNLKeepCalibration --logon;"
    [[ $kind == win64 ]] && expected+="/reg:64  ;"
    for view in "${views[@]}"; do
        found+="$view $(value "$cpls" Tonalis "$view") $(value "HKLM\\$run" Tonalis "$view");"
    done
    cmp -s "$dir/TNP.cpl" "$build/mingw/TNP.cpl" && cmp -s "$dir/tonalis.exe" "$build/mingw/tonalis.exe" &&
        [[ $(listed) == "$version" && ${found,,} == "${expected,,}" ]] &&
        pass "$1 ($kind) installs this build, listed once as $version, Cpls and logon entry 32-bit only" ||
        fail "$1 ($kind): [$(ls "$dir" 2>&1 | paste -sd,)] listed as [$(listed)], registry $found"
    wine "$control" >/dev/null 2>&1 &
    local panel=$!
    wine "$build/mingw/control_panel_items.exe" Tonalis 2>&1 | tr -d '\r' >"$work/items"
    [[ $(grep -cx Tonalis "$work/items") -eq 1 ]] && wait_for_window Tonalis &&
        pass "$1 ($kind): the Control Panel lists Tonalis once and opens it" ||
        fail "$1 ($kind): the Control Panel lists [$(paste -sd, "$work/items")]"
    wine taskkill /f /im rundll32.exe /im control.exe >/dev/null 2>&1
    wait "$panel"
}

# logon: what Windows does at logon with the Run values: wineboot hands each
# to CreateProcess as it stands (the 64-bit wineboot in a 64-bit prefix).
logon() { wine wineboot >/dev/null 2>&1; }
keeping() { wine "$build/mingw/tonalis.exe" keep --status >/dev/null 2>&1; }
# within SECONDS COMMAND...: true once the command succeeds.
within() { local until=$((SECONDS + $1)); shift; until "$@"; do ((SECONDS < until)) || return 1; sleep 0.2; done; }

# The logon entry's keeper: gone at once for a user who wants nothing kept,
# kept running for one who ticked the box.
keeper() {
    logon
    within 30 bash -c "! pgrep -f 'TNLKeep[C]alibration' >/dev/null" && ! keeping && local idle=1
    wine reg add "$settings" /v LoadAtLogon0 /t REG_DWORD /d 1 /f >/dev/null 2>&1
    logon
    within 60 keeping && local started=1
    wine "$build/mingw/tonalis.exe" keep --stop >/dev/null 2>&1
    wine reg delete "$settings" /v LoadAtLogon0 /f >/dev/null 2>&1
    [[ -n ${idle:-} && -n ${started:-} ]] &&
        pass "the logon entry ($kind) ends at once for nothing to keep, else starts the keeper" ||
        fail "the logon entry ($kind) [$(value "HKLM\\$run" Tonalis /reg:32)]: ended at once [${idle:-no}], keeper started [${started:-no}]"
}

# uninstalled LABEL: after an uninstall with the applet open and the keeper
# running, the keeper has ended; the restart takes what stayed.
uninstalled() {
    local ended=""
    ! keeping && ended=1
    wine taskkill /f /im control.exe /im rundll32.exe >/dev/null 2>&1
    wait "$panel"
    wine reg delete "$settings" /v LoadAtLogon0 /f >/dev/null 2>&1
    wine wineboot -r >/dev/null 2>&1
    [[ -n $ended ]] && pass "$1 ($kind) ends the running keeper" || fail "$1 ($kind) left the keeper running"
    removed "$1"
}

# in_use LABEL: the logon's keeper of a user who ticked the box runs, and the
# installed applet is open, as the Control Panel opens it.
in_use() {
    wine reg add "$settings" /v LoadAtLogon0 /t REG_DWORD /d 1 /f >/dev/null 2>&1
    logon
    within 60 keeping || fail "the keeper runs before $1 ($kind)"
    wine "$control" "$windows_dir\\TNP.cpl" >/dev/null 2>&1 &
    panel=$!
    wait_for_window Tonalis || fail "the installed applet is open before $1 ($kind)"
}
unlisted() { [[ -z $(listed) ]]; }

# removed LABEL: nothing of Tonalis anywhere; the user's things stay.
removed() {
    local left=""
    [[ -e $dir || -e $drive/windows/$system/TNP.cpl ]] && left+=" files"
    for view in "${views[@]}"; do
        [[ -n $(value "$cpls" Tonalis "$view")$(value "HKLM\\$run" Tonalis "$view") ]] && left+=" HKLM$view"
    done
    for hive in HKCU "$other"; do [[ -n $(value "$hive\\$run" Tonalis) ]] && left+=" $hive Run"; done
    [[ -n $(listed) ]] && left+=" the uninstall entry"
    [[ -z $left ]] && pass "$1 ($kind) leaves no file, Cpls value, logon or uninstall entry" || fail "$1 ($kind) left:$left"
    cmp -s "$profile" "$work/saved.icc" && [[ $(value "$settings" WizardOrPanel) == 0x2 &&
        $(value "$monitor" 'Primary Monitor' /reg:32) == 0x1 && $(value "$own_user\\$run" Tonalis) == "$own_copy" ]] &&
        pass "$1 ($kind) keeps the saved profile, the settings and a copy's own logon entry" ||
        fail "$1 ($kind) lost the saved profile, the settings or a copy's own logon entry"
}

# refused LABEL STATUS WANTED: the install exits with WANTED (any failure when
# empty) and the one installed before is still the only one.
refused() {
    [[ $2 -ne 0 && ${3:-$2} -eq $2 && $(listed) == "$version" ]] && pass "$1 ($kind) is refused (status $2)" ||
        fail "$1 ($kind): status $2, listed as [$(listed)]"
}

"$native" make -o "$work/saved.icc" >/dev/null || fail "a profile to keep"
# An older build: the same packages at 0.9.0, around a TNP.cpl that differs.
mkdir -p "$work/old"
cp "$build/mingw/tonalis.exe" "$build/mingw/tonalis_msi_actions.dll" "$work/old/"
{ cat "$build/mingw/TNP.cpl"; echo 0.9.0; } >"$work/old/TNP.cpl"
makensis -V1 -DBUILD_DIR="$work/old" -DVERSION=0.9.0 -DUPGRADE_CODE="$upgrade_code" \
    -DOUTPUT="$work/old.exe" "$sources/tonalis.nsi" &&
    (cd "$work" && wixl -D BuildDir="$(realpath --relative-to="$sources" old)" -D Version=0.9.0 \
        -D ProductCode=$old_code -D UpgradeCode="$upgrade_code" -o old.msi "$sources/tonalis.wxs") ||
    { fail "the build made both packages, and older ones"; finish; }

for kind in win32 win64; do
    use_prefix $kind
    wine "$work/old.exe" /S
    # What the versions before 1.0 left: the system folder's copy, registered
    # in both views, and users' Run values naming it.
    old="C:\\windows\\$system\\TNP.cpl"
    cp "$build/mingw/TNP.cpl" "$drive/windows/$system/TNP.cpl"
    for view in "${views[@]}"; do add "$cpls" Tonalis "$old" "$view"; done
    for hive in HKCU "$other"; do add "$hive\\$run" Tonalis "rundll32.exe \"$old\",TNLLoadCalibration"; done
    wine "$setup" /S && installed "the NSIS setup over 0.9.0 and the old layout"
    keeper
    [[ -z $(value "HKCU\\$run" Tonalis)$(value "$other\\$run" Tonalis) ]] &&
        pass "the NSIS setup ($kind) removes the users' Run values naming the old file" ||
        fail "the NSIS setup ($kind) left users' Run values: $(value "$other\\$run" Tonalis)"
    wine msiexec /i "$(winepath -w "$msi")" /qn
    refused "the MSI over the NSIS setup" $?
    # The installed tool keeps only the user's choice: the per-machine entry
    # starts the keeper, and no per-user value can outlive an uninstall.
    wine "$windows_dir\\tonalis.exe" apply --install-logon 2>&1 | tr -d '\r' >"$work/out"
    chosen=$(value "$settings" LoadAtLogon0)
    wine "$windows_dir\\tonalis.exe" apply --remove-logon >/dev/null 2>&1
    [[ $chosen == 0x1 && -z $(value "HKCU\\$run" Tonalis) && $(value "$settings" LoadAtLogon0) != 0x1 ]] &&
        pass "tonalis.exe ($kind) from $programs sets and clears the choice, with no per-user Run value" ||
        fail "tonalis.exe ($kind): [$(cat "$work/out")] choice [$chosen], HKCU Run [$(value "HKCU\\$run" Tonalis)]"
    in_use "the NSIS uninstaller"
    # The per-user value tonalis.exe wrote before, which the uninstaller removes too.
    add "HKCU\\$run" Tonalis "\"$windows_dir\\tonalis.exe\" keep"
    # The value an applet before 1.0 wrote for another user who ticked the box.
    add "$other\\$run" Tonalis "rundll32.exe \"$windows_dir\\TNP.cpl\",TNLLoadCalibration"
    wine "$windows_dir\\uninstall.exe" /S
    # The uninstaller goes on from a copy of itself; its entry goes last.
    within 60 unlisted
    uninstalled "the NSIS uninstaller"

    wine msiexec /i "$(winepath -w "$work/old.msi")" /qn && wine msiexec /i "$(winepath -w "$msi")" /qn &&
        installed "the MSI over 0.9.0" || fail "msiexec /i ($kind) of 0.9.0, then $version"
    wine "$setup" /S
    # 1638, another version of the product is installed, as a Unix status.
    refused "the NSIS setup over the MSI" $? $((1638 % 256))
    add "$other\\$run" Tonalis "rundll32.exe \"$windows_dir\\TNP.cpl\",TNLLoadCalibration"
    in_use "msiexec /x"
    wine msiexec /x "$(winepath -w "$msi")" /qn || fail "msiexec /x ($kind) exits $?"
    uninstalled "msiexec /x"
done

finish
