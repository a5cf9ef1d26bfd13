#!/usr/bin/env bash
# Runs the profile subcommands of the MinGW tonalis.exe under Wine beside the
# native tool: profiles made by either build read the same in both, updates
# keep the source's tags, refusals give the same message, failed saves leave
# the files alone (a read-only one too), and --json output is valid UTF-8.
# Usage: profile_tool_under_wine.sh BUILD_DIR RESULTS_DIR (BUILD_DIR holds
# native/ and mingw/); the caller has set up the Wine prefix.
set -uo pipefail

source "$(dirname "${BASH_SOURCE[0]}")/lib/tool_checks.sh"
tool_checks_begin profile_tool_under_wine "$1" "$2"

srgb=/usr/share/color/argyll/ref/sRGB.icm
compatible1998=/usr/share/color/icc/compatibleWithAdobeRGB1998.icc
laptop=/usr/libexec/installed-tests/colord/ibm-t61.icc
prophoto=/usr/share/color/argyll/ref/ProPhoto.icm

# Both tools run in $work, so relative paths name the same files.
run_native() { (cd "$work" && "$native" "$@"); }
run_wine() { (cd "$work" && wine "$windows" "$@" | tr -d '\r'); }

# Two profile images equal but for the creation date in the header.
same_profile() {
    python3 - "$1" "$2" <<'PY'
import sys
a, b = (bytearray(open(p, 'rb').read()) for p in sys.argv[1:3])
for image in (a, b):
    image[24:36] = bytes(12)
sys.exit(0 if a == b else 1)
PY
}

tag_names() {
    python3 - "$1" <<'PY'
import struct, sys
d = open(sys.argv[1], 'rb').read()
n = struct.unpack('>I', d[128:132])[0]
print(' '.join(d[132 + 12 * i:136 + 12 * i].decode('latin-1') for i in range(n)))
PY
}

# make with the same options in both builds gives the same file.
check_make() {
    local name=$1
    shift
    run_native make -o "$name.native.icc" "$@" >/dev/null 2>"$work/$name.native.err"
    local ns=$?
    run_wine make -o "$name.wine.icc" "$@" >/dev/null 2>"$work/$name.wine.err"
    local ws=$?
    if [[ $ns != 0 || $ws != 0 ]]; then
        fail "make $* exits 0 (native $ns, wine $ws): $(tr -d '\r' <"$work/$name.wine.err")"
        return
    fi
    if same_profile "$work/$name.native.icc" "$work/$name.wine.icc"; then
        pass "make $* writes the same profile in both builds"
    else
        fail "make $*: the two builds' profiles differ"
    fi
}

# info (or vcgt) of one file agrees between the builds.
check_read() {
    local name=$1 kind=$2
    shift 2
    run_native "$@" >"$work/$name.native.out" 2>/dev/null
    local ns=$?
    run_wine "$@" >"$work/$name.wine.out" 2>/dev/null
    local ws=$?
    if [[ $ns != 0 || $ws != 0 ]]; then
        fail "tonalis $* exits 0 (native $ns, wine $ws)"
        return
    fi
    compare_outputs "$name" "$kind" "$@"
}

# A refusal: status 2, empty stdout, the native tool's message, and the
# string number when one is given.
check_refused() {
    local name=$1 string=$2
    shift 2
    run_native "$@" >/dev/null 2>"$work/$name.native.err"
    (cd "$work" && wine "$windows" "$@") >"$work/$name.wine.out" 2>"$work/$name.wine.err"
    local ws=$?
    tr -d '\r' <"$work/$name.wine.err" >"$work/$name.wine.err.lf"
    if [[ $ws != 2 || -s "$work/$name.wine.out" ]]; then
        fail "tonalis $* refused with status 2 and no output (got $ws)"
    elif [[ -n $string ]] && ! grep -q "(string $string)" "$work/$name.wine.err.lf"; then
        fail "tonalis $*: no string $string in: $(cat "$work/$name.wine.err.lf")"
    elif ! cmp -s "$work/$name.native.err" "$work/$name.wine.err.lf"; then
        fail "tonalis $*: message differs: $(cat "$work/$name.wine.err.lf")"
    else
        pass "tonalis $* refused: $(cat "$work/$name.wine.err.lf")"
    fi
}

check_make plain
check_make shifted --gamma 1.8,2.2,2.4 --primaries NTSC --white 9300K --adjusted-white 6500K \
    --factor 0.9,1,1.1 --description "Shifted"
check_make bare --primaries Trinitron --no-vcgt
# A 16-235 signal on a full-range panel, fine-tuned by eye.
check_make matched --match 0:25.48,0.25:132.62,0.5:175.81,0.75:208.16,1:234 \
    --match-blue 0.25:140,0.5:180,0.75:212 --adjusted-white 7500K
check_make updated --from "$srgb" --gamma 2.4

for made in plain.wine.icc shifted.wine.icc bare.wine.icc updated.wine.icc "$srgb" "$compatible1998"; do
    label=$(basename "$made")
    check_read "info-$label" json info "$made" --json
    check_read "text-$label" text info "$made"
done
check_read vcgt-csv text vcgt shifted.wine.icc --csv
check_read vcgt-none json vcgt "$srgb" --json

if [[ $(tag_names "$work/updated.wine.icc") == "$(tag_names "$srgb") nwpt vcgt" ]]; then
    pass "make --from keeps every tag of the source and adds the table and the own white"
else
    fail "make --from tags: $(tag_names "$work/updated.wine.icc")"
fi

# Saving over an existing profile replaces it in one step.
cp "$work/plain.wine.icc" "$work/over.icc"
if run_wine make -o over.icc --from over.icc --gamma 2.0 >/dev/null 2>&1 &&
    run_native info over.icc --json | grep -q '"gamma":\[2,2,2\]'; then
    pass "make over its own source under Wine"
else
    fail "make over its own source under Wine"
fi

# A read-only file is not replaced, not even for an administrator.
cp "$work/plain.wine.icc" "$work/read-only.icc"
chmod a-w "$work/read-only.icc"
check_refused read-only 3415 make -o read-only.icc

# --json prints valid UTF-8 whatever the texts: a description in any
# language, and a file name outside the code page, which the tool takes whole.
run_native make -o latin.icc --description "Café 校准 ทด 😀" >/dev/null
check_read info-latin json info latin.icc --json
# tonalis.exe takes a description that code page 936 cannot hold whole.
run_wine make -o wide.icc --description "Café 校准 ทด 😀" >/dev/null
if same_profile "$work/latin.icc" "$work/wide.icc"; then
    pass "make --description outside code page 936 under Wine as natively"
else
    fail "make --description outside code page 936 under Wine"
fi
if run_wine make -o 你ทด.icc --json | python3 -c 'import json, sys
sys.exit(json.load(sys.stdin.buffer)["saved"] != "\u4f60\u0e17\u0e14.icc")' &&
    [[ -f "$work/你ทด.icc" ]]; then
    pass "make --json with a file name outside the code page saves it and prints valid JSON"
else
    fail "make --json with a file name outside the code page"
fi

# Text shows whole on a console (Wine's, on a terminal; compared without the
# spaces it may draw as cursor moves, and without the emoji, which it draws as
# two replacement characters) and reaches a pipe as UTF-8.
on_console() {
    (cd "$work" && script -qec "wine $(printf '%q ' "$@")" /dev/null) | python3 -c 'import re, sys
text = sys.stdin.buffer.read().decode("utf-8", "replace")
sys.stdout.buffer.write(re.sub(r"\x1b\[[0-9;?]*[A-Za-z]|\x1b\][^\x07]*\x07|\s", "", text).encode())'
}
mkdir -p "$work/ทด校准" && cp "$windows" "$work/ทด校准/tonalis.exe" &&
    cp "$(dirname "$windows")/TNP.cpl" "$work/ทด校准/"
if [[ $(on_console "$windows" info wide.icc) == *"校准ทด"* &&
    $(on_console "$windows" info 校准ทด.icc) == *"tonalisinfo:校准ทด.icc:"* &&
    $(on_console "$work/ทด校准/tonalis.exe" apply --install-logon) == *'ทด校准\TNP.cpl",TNLKeepCalibration'* &&
    $(cd "$work" && wine ทด校准/tonalis.exe apply --install-logon --once) == *'ทด校准\tonalis.exe" apply'* ]]; then
    pass "texts outside code page 936 show whole on a console and in a pipe"
else
    fail "texts on a console: $(on_console "$windows" info wide.icc | head -c 300)"
fi
run_wine apply --remove-logon >/dev/null
rm -rf "$work/latin.icc" "$work/wide.icc" "$work/你ทด.icc" "$work/ทด校准"

# A value on an edge of its accepted range, saved, loads back within 1e-4:
# each case is an option and the colour and x,y that info must show.
edge_cases=(
    "--white 0.2788,0.292|hardwareWhite|0.2788,0.292"
    "--white 0.2788,0.3709|hardwareWhite|0.2788,0.3709"
    "--white 0.3621,0.292|hardwareWhite|0.3621,0.292"
    "--white 0.3621,0.3709|hardwareWhite|0.3621,0.3709"
    "--primaries 0.59,0.25,0.30,0.60,0.15,0.06|red|0.59,0.25"
    "--primaries 0.59,0.4,0.30,0.60,0.15,0.06|red|0.59,0.4"
    "--primaries 0.75,0.25,0.30,0.60,0.15,0.06|red|0.75,0.25"
    "--primaries 0.6,0.4,0.30,0.60,0.15,0.06|red|0.6,0.4"
    "--primaries 0.64,0.33,0.05,0.5,0.15,0.06|green|0.05,0.5"
    "--primaries 0.64,0.33,0.05,0.85,0.15,0.06|green|0.05,0.85"
    "--primaries 0.64,0.33,0.35,0.5,0.15,0.06|green|0.35,0.5"
    "--primaries 0.64,0.33,0.35,0.65,0.15,0.06|green|0.35,0.65"
    "--primaries 0.64,0.33,0.15,0.85,0.15,0.06|green|0.15,0.85"
    "--primaries 0.64,0.33,0.30,0.60,0.11,0.0001|blue|0.11,0.0001"
    "--primaries 0.64,0.33,0.30,0.60,0.2,0.0001|blue|0.2,0.0001"
    "--primaries 0.64,0.33,0.30,0.60,0.11,0.12|blue|0.11,0.12"
    "--primaries 0.64,0.33,0.30,0.60,0.2,0.12|blue|0.2,0.12"
    "--primaries 0.64,0.33,0.30,0.60,0.2,0.06|blue|0.2,0.06"
)
edge_failures=0
for case in "${edge_cases[@]}"; do
    IFS='|' read -r option colour xy <<<"$case"
    # shellcheck disable=SC2086 # the option and its value are two words
    if ! run_wine make -o edge.icc $option >/dev/null 2>"$work/edge.err" ||
        ! run_wine info edge.icc --json >"$work/edge.json" 2>>"$work/edge.err" ||
        ! python3 - "$work/edge.json" "$colour" "$xy" <<'PY'; then
import json, sys
info = json.load(open(sys.argv[1]))
got = info['hardwareWhite'] if sys.argv[2] == 'hardwareWhite' else info['primaries'][sys.argv[2]]
x, y = map(float, sys.argv[3].split(','))
sys.exit(0 if abs(got['x'] - x) <= 1e-4 and abs(got['y'] - y) <= 1e-4 else 1)
PY
        fail "make $option loads back: $(tr -d '\r' <"$work/edge.err") $(cat "$work/edge.json")"
        edge_failures=$((edge_failures + 1))
    fi
done
if [[ $edge_failures == 0 ]]; then
    pass "all ${#edge_cases[@]} edges of the accepted ranges save and load back under Wine"
fi

cp "$work/plain.wine.icc" "$work/kept.icc"
mkdir -p "$work/folder"
check_refused refused-info 3411 info "$laptop"
check_refused refused-prophoto 3411 info "$prophoto"
check_refused missing 3410 info missing.icc
check_refused bad-source 3411 make -o kept.icc --from "$prophoto"
check_refused folder 3415 make -o folder
check_refused range "" make -o kept.icc --gamma 3.8
if cmp -s "$work/plain.wine.icc" "$work/kept.icc" && [[ -z $(ls -A "$work/folder") ]] &&
    ! compgen -G "$work/*~tnl*" >/dev/null; then
    pass "refused saves leave the files alone and no temporary file behind"
else
    fail "refused saves changed a file or left a temporary one: $(ls "$work")"
fi

finish
