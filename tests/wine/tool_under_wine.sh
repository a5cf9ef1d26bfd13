#!/usr/bin/env bash
# Runs the MinGW tonalis.exe under Wine and compares it with the native tool:
# same exit status, same text, the same JSON (numbers to 12 significant digits,
# since the 32-bit build computes in x87 registers), and the same refusals.
# Usage: tool_under_wine.sh BUILD_DIR RESULTS_DIR (BUILD_DIR holds native/ and
# mingw/); the caller has set up the Wine prefix.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/tool_checks.sh"
tool_checks_begin tool_under_wine "$1" "$2"

# run_both NAME ARGS...: leaves out/err/status of each build in $work.
run_both() {
    local name=$1
    shift
    "$native" "$@" >"$work/$name.native.out" 2>"$work/$name.native.err"
    echo $? >"$work/$name.native.status"
    wine "$windows" "$@" 2>"$work/$name.wine.err" | tr -d '\r' >"$work/$name.wine.out"
    echo "${PIPESTATUS[0]}" >"$work/$name.wine.status"
    tr -d '\r' <"$work/$name.wine.err" >"$work/$name.wine.err.lf"
}


# Output the two builds must agree on.
check_same() {
    local name=$1 kind=$2
    shift 2
    run_both "$name" "$@"
    local ns ws
    ns=$(cat "$work/$name.native.status")
    ws=$(cat "$work/$name.wine.status")
    if [[ $ns != 0 || $ws != 0 ]]; then
        fail "tonalis $* exits 0 (native $ns, wine $ws): $(head -c 200 "$work/$name.wine.err.lf")"
        return
    fi
    compare_outputs "$name" "$kind" "$@"
}

# A refusal: status 2, empty stdout, the native tool's one line on stderr.
check_refused() {
    local name=$1
    shift
    run_both "$name" "$@"
    local ws
    ws=$(cat "$work/$name.wine.status")
    if [[ $ws != 2 || -s "$work/$name.wine.out" ]]; then
        fail "tonalis $* refused with status 2 and no output (got $ws)"
        return
    fi
    if ! cmp -s "$work/$name.native.err" "$work/$name.wine.err.lf"; then
        fail "tonalis $*: message differs: $(cat "$work/$name.wine.err.lf")"
        return
    fi
    pass "tonalis $* refused: $(cat "$work/$name.wine.err.lf")"
}

# Values fixed by the calibration model, read from the Windows build alone.
check_value() {
    local description=$1 expected=$2
    shift 2
    local got
    got=$(wine "$windows" "$@" 2>/dev/null | tr -d '\r')
    if [[ $got == *"$expected"* ]]; then
        pass "$description"
    else
        fail "$description: tonalis $* gave ${got:0:200}"
    fi
}

check_same ramp22 json ramp --gamma 2.2 --json
check_same ramp_mixed json ramp --gamma 1.8,2.2,2.6 --factor 0.5,1.25,2 --peaks 161,192,255 --json
check_same ramp_text text ramp --gamma 2.2 --factor 0.9
check_same peaks5000 json peaks --target 5000K --json
check_same peaks_custom json peaks --target 0.3,0.31 --primaries NTSC --hardware-white 5500K --json
check_same peaks_text text peaks --target 9300K --primaries Trinitron
check_same whitepoint json whitepoint --peaks 255,212,157 --json
check_same whitepoint_text text whitepoint --peaks 207,224,255 --primaries SMPTE-C
check_same matrix json matrix --primaries 0.63,0.34,0.295,0.605,0.155,0.077 --white 0.2991,0.3150 --json
check_same matrix_text text matrix
check_same help text --help

check_value "ramp --gamma 2.2 starts 0, 512, 1024" '"red":[0,512,1024,' ramp --gamma 2.2 --json
check_value "ramp --gamma 2.2 gives 36608 at input 128" ',36352,36608,36864,' ramp --gamma 2.2 --json
check_value "ramp --gamma 2.2 ends 65024, 65280" ',65024,65280],"green"' ramp --gamma 2.2 --json
# The light of 5000K (1, 0.830, 0.614 of each primary) through the native
# gamma 2.61.
check_value "peaks of 5000K on HDTV at 6500K are 255, 237, 212" \
    '{"red":255,"green":237,"blue":212,"whiteRgb":13954559}' peaks --target 5000K --json
check_value "peaks of 6500K keep every channel" '"whiteRgb":16777215' peaks --target 6500K --json

check_refused gamma_range ramp --gamma 3.8
check_refused factor_range ramp --gamma 2.2 --factor 0.3
check_refused bad_number ramp --gamma 2.2x
check_refused bad_preset peaks --target 6000K
check_refused white_range peaks --target 0.4,0.35
check_refused phosphor_range matrix --primaries 0.58,0.33,0.30,0.60,0.15,0.06
check_refused gamut peaks --primaries 0.64,0.33,0.35,0.5,0.2,0.001 --target 0.2788,0.292
check_refused unknown_command calibrate

finish
