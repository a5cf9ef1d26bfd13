#!/usr/bin/env bash
# tonalis.exe apply, reset and show under Wine: a refused table on Xvfb (no
# gamma ramp there), then on Xorg's dummy driver the profile registered for
# monitor 0 loaded and read back, never through the tool, by GetDeviceGammaRamp
# in a program of its own and from the X server; refusals that leave the table
# alone; the logon entry, also from a folder outside the code page.
# Usage: loader_under_wine.sh BUILD_DIR RESULTS_DIR; the caller has set up the
# Wine prefix and runs an Xvfb on DISPLAY.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/lib/tool_checks.sh"
tool_checks_begin loader_under_wine "$1" "$2"
source "$root/scripts/xserver.sh"
tables="python3 $root/tests/scripts/lib/gamma_tables.py"
display_number=${TONALIS_LOADER_WINE_DISPLAY:-96}
monitor_key='HKLM\SOFTWARE\Orvane\Color\Monitor\Monitor0'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
trap 'stop_xserver; wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
[[ -f $build/mingw/gamma_ramp_reader.exe ]] || { fail "the ramp reader is built"; finish; }

# tool ARGS...: tonalis.exe with its output in $work/out and $work/err.
tool() {
    wine "$windows" "$@" 2>"$work/err.crlf" | tr -d '\r' >"$work/out"
    local status=${PIPESTATUS[0]}
    tr -d '\r' <"$work/err.crlf" >"$work/err"
    return "$status"
}
winpath() { winepath -w "$1" 2>/dev/null; }

# shown FILE: the table of monitor 0 as GetDeviceGammaRamp gives it.
shown() { wine "$build/mingw/gamma_ramp_reader.exe" 2>/dev/null | tr -d '\r' >"$1"; }

# table_is EXPECTATION DESCRIPTION: through Wine, and straight from the X
# server's XF86VidMode ramp, which Wine's ramp goes to; within the step of
# Wine's 8-bit interpolation.
table_is() {
    shown "$work/now.json" && $tables expect "$work/now.json" "$1" 256 >"$work/expect.log" &&
        $tables read vidmode >"$work/server.json" &&
        $tables expect "$work/server.json" "$1" 256 >>"$work/expect.log" &&
        pass "$2" || fail "$2: $(tr '\n' ' ' <"$work/expect.log")"
}

# refused DESCRIPTION WORD ARGS...: status 2, WORD in the message, table unchanged.
refused() {
    local description=$1 word=$2
    shift 2
    shown "$work/before.json"
    tool "$@"
    local status=$?
    shown "$work/after.json"
    if [[ $status -ne 2 ]] || ! grep -qF -- "$word" "$work/err"; then
        fail "$description: status 2 and \"$word\" (got $status: $(cat "$work/err"))"
    elif ! $tables expect "$work/after.json" "same:$work/before.json" 0 >/dev/null; then
        fail "$description: the table changed"
    else
        pass "$description: $(cat "$work/err")"
    fi
}

"$native" make -o "$work/warm.icc" --gamma 2.2 --factor 1.2 --adjusted-white 5000K >/dev/null &&
    "$native" make -o "$work/cool.icc" --gamma 1.8 --adjusted-white 9300K >/dev/null &&
    "$native" make -o "$work/plain.icc" --no-vcgt >/dev/null || fail "the test profiles are made"
printf 'not a profile' >"$work/junk.icc"
warm=$(winpath "$work/warm.icc")

# Xvfb has no gamma ramp: SetDeviceGammaRamp fails, and apply must not call that success.
tool apply "$warm"
status=$?
[[ $status -eq 1 ]] && grep -q 'refused the table for monitor' "$work/err" &&
    pass "a refused table exits 1: $(cat "$work/err")" ||
    fail "a refused table exits 1 (got $status: $(cat "$work/err"))"

wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
start_xserver dummy "$display_number" "$build/xorg-loader-wine.log" ||
    { fail "the dummy X server starts"; finish; }

wine reg add "$monitor_key" /v 'Monitor Profile' /t REG_SZ /d "$warm" /f >/dev/null 2>&1
tool apply && grep -qF "loaded the table of $warm" "$work/out" &&
    pass "apply without PROFILE takes the registered profile: $(cat "$work/out")" ||
    fail "apply without PROFILE: $(cat "$work/out" "$work/err")"
table_is "vcgt:$work/warm.icc" "the display holds the registered profile's vcgt"
tool show --monitor 0 --json && $tables read "show:$work/out" >"$work/shown.json" &&
    shown "$work/now.json" &&
    $tables expect "$work/shown.json" "same:$work/now.json" 0 >/dev/null &&
    pass "show prints the table GetDeviceGammaRamp reads" ||
    fail "show: $(head -c 300 "$work/out")"

refused "a file that is no profile" "not a correct RGB display profile" apply "$(winpath "$work/junk.icc")"
refused "a profile without vcgt" "no 'vcgt'" apply "$(winpath "$work/plain.icc")"
refused "an unknown display device" '\\.\DISPLAY1' apply "$(winpath "$work/cool.icc")" \
    --output '\\.\DISPLAY9'
wine reg add "$monitor_key" /v 'Monitor Profile' /t REG_SZ /d "$(winpath "$work/plain.icc")" \
    /f >/dev/null 2>&1
refused "a registered profile without vcgt" "monitor \\\\.\\DISPLAY1" apply

tool reset || fail "reset exits 0: $(cat "$work/err")"
table_is identity "reset loads the identity"

# Without a registered profile only the system's sRGB profile is left: no table.
wine reg delete "$monitor_key" /f >/dev/null 2>&1
shown "$work/before.json"
tool apply
status=$?
shown "$work/after.json"
[[ $status -eq 0 ]] && grep -q 'skipped' "$work/out" &&
    $tables expect "$work/after.json" "same:$work/before.json" 0 >/dev/null &&
    pass "a monitor without a calibrated profile is skipped: $(cat "$work/out")" ||
    fail "skipping a monitor without profile (status $status): $(cat "$work/out" "$work/err")"

refused "--install-logon with --output" "take no other argument" \
    apply --install-logon --output '\\.\DISPLAY1'
tool apply --install-logon --once || fail "--install-logon --once exits 0: $(cat "$work/err")"
installed=$(wine reg query "$run_key" /v Tonalis 2>/dev/null | tr -d '\r')
[[ $installed == *'REG_SZ'*'"'*'tonalis.exe" apply'* ]] &&
    pass "--install-logon --once writes the one-shot loader: ${installed//$'\n'/ }" ||
    fail "--install-logon --once: $(cat "$work/out" "$work/err") / $installed"
# From a folder outside the ANSI code page the Run value names the program as
# it is (the registry exported as UTF-16, so nothing is converted on the way).
wide="$work/ทดสอบ"
mkdir -p "$wide" && cp "$windows" "$build/mingw/TNP.cpl" "$wide/"
wine "$wide/tonalis.exe" apply --install-logon >/dev/null 2>&1
wine reg export "$run_key" "$(winpath "$work/run.reg")" /y >/dev/null 2>&1
iconv -f UTF-16 -t UTF-8 "$work/run.reg" 2>/dev/null | grep -qF 'ทดสอบ\\TNP.cpl\",TNLKeepCalibration' &&
    pass "--install-logon from a folder outside code page 936 names it as it is" ||
    fail "--install-logon outside code page 936: $(iconv -f UTF-16 -t UTF-8 "$work/run.reg" 2>&1 |
        grep Tonalis)"
tool apply --remove-logon
status=$?
if [[ $status -ne 0 ]] || ! grep -q 'removed the logon entry' "$work/out"; then
    fail "--remove-logon removes the entry (got $status: $(cat "$work/out" "$work/err"))"
elif wine reg query "$run_key" /v Tonalis >/dev/null 2>&1; then
    fail "--remove-logon leaves the Run value"
else
    pass "--remove-logon deletes the Run value"
fi

finish
