#!/usr/bin/env bash
# tonalis.exe keep under Wine on Xorg's dummy driver, the table reset from
# outside with xcalib and read from the X server: back, and how soon
# printed; a rival resetting every 0.3 s makes it stand down with one line
# and write no more; a second keeper is refused and makes the first reload;
# --status and --stop reach the running one; a keeper refuses while
# "GammaCrashed" is set; the logon value starts it with no console, and
# --remove-logon takes the value away and ends it.
# Usage: keeper_under_wine.sh BUILD_DIR RESULTS_DIR; the caller has set up the
# Wine prefix.
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
source "$here/lib/tool_checks.sh"
tool_checks_begin keeper_under_wine "$1" "$2"
source "$root/scripts/xserver.sh"
tables="python3 $root/tests/scripts/lib/gamma_tables.py"
keeper=""
rival=""
trap '[[ -n $rival ]] && kill $rival; [[ -n $keeper ]] && kill $keeper; stop_xserver;
      wineserver -k 2>/dev/null; rm -rf "$work"' EXIT
command -v xcalib >/dev/null || { fail "xcalib is installed"; finish; }

wineserver -k 2>/dev/null
wineserver -w 2>/dev/null
start_xserver dummy "${TONALIS_LOADER_WINE_DISPLAY:-96}" "$build/xorg-keeper-wine.log" ||
    { fail "the dummy X server starts"; finish; }
"$native" make -o "$work/warm.icc" --gamma 2.2 --factor 1.2 --adjusted-white 5000K >/dev/null ||
    fail "the test profile is made"
warm=$(winepath -w "$work/warm.icc" 2>/dev/null)

# holds EXPECTATION: the X server's ramp, which Wine's goes to.
holds() { $tables read vidmode >"$work/server.json" && $tables expect "$work/server.json" "$1" 256 >/dev/null; }
# within SECONDS COMMAND...: true once the command succeeds, false when the time is up.
within() {
    local until=$((${EPOCHREALTIME/./} + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1e6 }')))
    shift
    until "$@"; do
        ((${EPOCHREALTIME/./} < until)) || return 1
        sleep 0.05
    done
}
lines() { tr -d '\r' <"$work/$1.err" | grep -c "$2"; }
tool() { wine "$windows" "$@" 2>"$work/tool.err" | tr -d '\r' >"$work/tool.out"; return "${PIPESTATUS[0]}"; }
# start NAME ARGS...: a keeper in the background, once it answers (it has
# loaded the tables by then).
start() {
    local name=$1
    shift
    wine "$windows" keep "$warm" --no-tray "$@" 2>"$work/$name.err" &
    keeper=$!
    within 30 tool keep --status
}

start first --interval 1 || fail "the keeper starts: $(cat "$work/first.err")"
holds "vcgt:$work/warm.icc" && pass "the profile's table is loaded at start" ||
    fail "the profile's table at start"
# reset: xcalib -c, once the reset is seen before the keeper's next check.
reset() {
    local tries
    for tries in 1 2 3; do
        started=$EPOCHREALTIME
        xcalib -c && holds identity && return 0
    done
    return 1
}
reset || fail "xcalib -c resets the table"
# How soon is a figure, printed; the check is only that it comes back.
within 30 holds "vcgt:$work/warm.icc" &&
    pass "a reset from outside is back after $(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.2f", b - a }') s (interval 1 s)" ||
    fail "a reset from outside is not back: $(cat "$work/first.err")"

# A rival resets every 0.3 s until the keeper has stood down and checked twice more.
(while true; do xcalib -c; sleep 0.3; done) &
rival=$!
checks() { tool keep --status && sed -n 's/.* \([0-9]*\) checks so far.*/\1/p' "$work/tool.out"; }
if within 20 grep -q 'stood down' "$work/first.err"; then
    after=$(($(checks) + 2))
    checked_on() { [[ $(checks) -ge $after ]]; }
    within 10 checked_on || fail "the keeper checks on: $(cat "$work/tool.out")"
    kill $rival
    rival=""
    [[ $(lines first 'stood down') -eq 1 ]] &&
        [[ $(tr -d '\r' <"$work/first.err" | sed -n '/stood down/,$p' | grep -c restored) -eq 0 ]] &&
        grep -q 'stood down' "$work/tool.out" &&
        pass "a rival every 0.3 s: one line, no more writes: $(grep 'stood down' "$work/first.err")" ||
        fail "standing down: $(cat "$work/first.err" "$work/tool.out")"
else
    fail "the keeper stands down against a rival: $(cat "$work/first.err")"
fi
[[ -n $rival ]] && kill $rival
rival=""
tool keep --stop && within 5 bash -c "! kill -0 $keeper 2>/dev/null" && wait $keeper &&
    pass "--stop ends the keeper with status 0: $(cat "$work/tool.out")" ||
    fail "--stop: $(cat "$work/tool.out" "$work/tool.err")"
keeper=""

# Polling once a minute, only the second keeper's reload can bring the table back.
start second --interval 60 || fail "the keeper starts again: $(cat "$work/second.err")"
reset || fail "xcalib -c resets the table"
tool keep "$warm" --no-tray
status=$?
[[ $status -eq 1 ]] && grep -q 'already running' "$work/tool.err" &&
    within 10 holds "vcgt:$work/warm.icc" &&
    pass "a second keeper exits 1 and the first reloads: $(cat "$work/tool.err")" ||
    fail "a second keeper (status $status): $(cat "$work/tool.err" "$work/second.err")"
tool keep --status && grep -q 'restored 1 time$' "$work/tool.out" &&
    pass "--status: $(tr '\n' ' ' <"$work/tool.out")" || fail "--status: $(cat "$work/tool.out" "$work/tool.err")"
tool keep --stop && wait $keeper && pass "--stop ends the second keeper too" ||
    fail "--stop: $(cat "$work/tool.err")"
keeper=""

# A keeper honours "GammaCrashed" as apply does: it keeps nothing and says so.
wine reg add 'HKCU\SOFTWARE\Orvane\Tonalis' /v GammaCrashed /t REG_DWORD /d 1 /f >/dev/null 2>&1
timeout 30 wine "$windows" keep "$warm" --no-tray 2>"$work/crashed.err"
status=$?
wine reg delete 'HKCU\SOFTWARE\Orvane\Tonalis' /f >/dev/null 2>&1
[[ $status -eq 1 ]] && grep -q 'switched off' "$work/crashed.err" &&
    pass "with GammaCrashed set the keeper exits 1: $(tr -d '\r' <"$work/crashed.err")" ||
    fail "with GammaCrashed set (status $status): $(cat "$work/crashed.err")"

# The logon value starts the keeper with no console window, run as Windows
# runs it (wineboot hands each Run value to CreateProcess); --remove-logon
# takes the value away and ends it.
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
tool apply --install-logon || fail "--install-logon: $(cat "$work/tool.err")"
command=$(wine reg query "$run_key" /v Tonalis 2>/dev/null | tr -d '\r' |
    sed -n 's/.*REG_SZ *//p')
program=${command#\"}
program=$(winepath -u "${program%%\"*}" 2>/dev/null)
subsystem=$(pe_field "$program" 92)
wine wineboot >/dev/null 2>&1
[[ $subsystem == 2 ]] && within 30 tool keep --status &&
    pass "the logon value starts the keeper, with no console: $command" ||
    fail "the logon value ($command, subsystem ${subsystem:-unknown}) starts no keeper: $(cat "$work/tool.err")"
keeper=$(pgrep -f 'TNLKeepCalibration' | head -1)
tool apply --remove-logon && grep -q 'stopped the running keeper' "$work/tool.out" &&
    ! wine reg query "$run_key" /v Tonalis >/dev/null 2>&1 && within 5 test ! -e "/proc/$keeper" &&
    pass "--remove-logon: $(tr '\n' ' ' <"$work/tool.out")" ||
    fail "--remove-logon: $(cat "$work/tool.out" "$work/tool.err")"
keeper=""

# Cost, printed and never judged: the keeper idle at the default interval,
# CPU from the scheduler's counts and resident memory from /proc, beside the
# one-shot loader of the same program (tonalis.exe apply; wine becomes the
# program, so its process is the one measured).
wine reg add 'HKLM\SOFTWARE\Orvane\Color\Monitor\Monitor0' /v 'Monitor Profile' /t REG_SZ \
    /d "$warm" /f >/dev/null 2>&1
wine "$windows" keep --no-tray --quiet 2>/dev/null &
keeper=$!
if within 30 tool keep --status; then
    hz=$(getconf CLK_TCK)
    ticks() { awk '{ print $14 + $15 }' "/proc/$keeper/stat"; }
    first=$(ticks)
    sleep 20
    cpu=$(awk -v a="$first" -v b="$(ticks)" -v hz="$hz" 'BEGIN { printf "%.3f", (b - a) / hz / 20 * 100 }')
    resident=$(awk '/VmRSS/ { print $2 }' "/proc/$keeper/status")
    tool keep --status
    working=$(sed -n 's/.*working set \([0-9]*\) KB.*/\1/p' "$work/tool.out")
    # Wine counts the working set from the resident memory /proc shows: the
    # two read a moment apart stay within a factor of two.
    ((working > 0 && working <= 2 * resident && 2 * working >= resident)) &&
        pass "--status: a working set of $working KB, $resident KB resident" ||
        fail "--status: a working set of ${working:-no} KB, $resident KB resident"
    tool keep --stop
    wait $keeper
    keeper=""
    /usr/bin/time -f '%U %S %M' -o "$work/once" wine "$windows" apply >/dev/null 2>&1
    read -r user system peak <"$work/once"
    echo "keeper (tonalis.exe keep, the registered profile): idle $cpu % of one core over 20 s" \
        "at a 2 s interval, $resident KB resident (Wine's own libraries included; working set" \
        "$working KB as Windows counts it)"
    echo "one-shot loader (tonalis.exe apply): ${user}+${system} s CPU in all, $peak KB peak resident"
else
    fail "the keeper starts for the benchmark"
fi
wine reg delete 'HKLM\SOFTWARE\Orvane' /f >/dev/null 2>&1

finish
