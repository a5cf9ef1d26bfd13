#!/usr/bin/env bash
# The native loader on Xorg's dummy driver: tonalis apply, reset and show read
# back through XRandR by a reader of its own, refusals that leave the table as
# it was, --output with two outputs, and the time apply takes (printed only).
# Usage: display_loader.sh BUILD_DIR RESULTS_DIR
set -uo pipefail

# shellcheck source=tests/scripts/lib/loader_checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/loader_checks.sh" display_loader "$1" "$2"

# table_is OUTPUT EXPECTATION DESCRIPTION: the CRTC's table, read with XRandR.
table_is() {
    $tables read "crtc:$1" >"$work/now.json" &&
        $tables expect "$work/now.json" "$2" >"$work/expect.log" &&
        pass "$3" || fail "$3: $(cat "$work/expect.log" 2>/dev/null)"
}

# runs ARGS...: the tool succeeds; a failure is counted even when the table is right.
runs() { "$tool" "$@" >"$work/out" 2>&1 || fail "tonalis $* exits 0: $(cat "$work/out")"; }

# refused DESCRIPTION WORD ARGS...: status 2, a message naming WORD, and the
# table of DUMMY0 as it was.
refused() {
    local description=$1 word=$2
    shift 2
    $tables read crtc:DUMMY0 >"$work/before.json"
    "$@" >"$work/out" 2>"$work/err"
    local status=$?
    $tables read crtc:DUMMY0 >"$work/after.json"
    if [[ $status -ne 2 ]] || ! grep -q -- "$word" "$work/err"; then
        fail "$description: status 2 and a message with \"$word\" (got $status: $(cat "$work/err"))"
    elif ! $tables expect "$work/after.json" "same:$work/before.json" 0 >/dev/null; then
        fail "$description: the table changed"
    else
        pass "$description: $(cat "$work/err")"
    fi
}

"$tool" make -o "$work/warm.icc" --gamma 2.2 --factor 1.2 --adjusted-white 5000K >/dev/null &&
    "$tool" make -o "$work/cool.icc" --gamma 1.8 --adjusted-white 9300K >/dev/null &&
    "$tool" make -o "$work/plain.icc" --no-vcgt >/dev/null &&
    $tables break-vcgt "$work/warm.icc" "$work/two-channels.icc" ||
    { fail "the test profiles are made"; finish; }
printf 'not a profile' >"$work/junk.icc"

"$tool" apply "$work/warm.icc" >"$work/out" && grep -q 'DUMMY0: loaded' "$work/out" &&
    pass "apply says what it loaded" || fail "apply: $(cat "$work/out")"
table_is DUMMY0 "vcgt:$work/warm.icc" "after apply the CRTC holds the profile's vcgt"
"$tool" show --output DUMMY0 --json >"$work/show.json" &&
    $tables read "show:$work/show.json" >"$work/shown.json" &&
    $tables expect "$work/shown.json" "vcgt:$work/warm.icc" >/dev/null &&
    grep -q '"gammaSize":256' "$work/show.json" && grep -q '"peaks":\[255,240,218\]' "$work/show.json" &&
    pass "show prints the table, its gamma size and the 5000K peaks 255,240,218 (native gamma 3.13)" ||
    fail "show: $(head -c 300 "$work/show.json")"
"$tool" show --output DUMMY0 >"$work/show.txt" &&
    $tables read "show:$work/show.txt" >"$work/shown.json" &&
    $tables expect "$work/shown.json" "vcgt:$work/warm.icc" >/dev/null &&
    pass "show's text form holds the 256 rows of the table" ||
    fail "show: $(head -c 300 "$work/show.txt")"

refused "a profile without vcgt" "no 'vcgt'" "$tool" apply "$work/plain.icc"
refused "a vcgt of two channels" "not a usable table" "$tool" apply "$work/two-channels.icc"
refused "a file that is no profile" "not a correct RGB display profile" "$tool" apply "$work/junk.icc"
refused "a missing file" "missing.icc" "$tool" apply "$work/missing.icc"
refused "an unknown output, one letter off" \
    'no output named "XUMMY0"; the outputs are: DUMMY0, DUMMY1' \
    "$tool" apply "$work/cool.icc" --output XUMMY0
refused "an output that is off" "DUMMY5 is not in use" "$tool" apply "$work/cool.icc" --output DUMMY5
refused "a monitor number past the last" 'no output number "1": there are 1' \
    "$tool" apply "$work/cool.icc" --monitor 1
refused "no PROFILE on X" "PROFILE is required" "$tool" apply
refused "no DISPLAY" "DISPLAY is not set" env -u DISPLAY "$tool" apply "$work/cool.icc"
refused "a display that cannot be opened" "cannot open" env DISPLAY=:$((display_number + 50)) \
    "$tool" apply "$work/cool.icc"

# An X server without XRandR: nothing to reach.
Xvfb ":$((display_number + 1))" -screen 0 640x480x24 -nolisten tcp -extension RANDR \
    >"$build/xvfb-no-randr.log" 2>&1 &
no_randr=$!
for _ in $(seq 1 50); do
    DISPLAY=":$((display_number + 1))" xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
refused "a display without XRandR" "has no XRandR 1.2" env DISPLAY=":$((display_number + 1))" \
    "$tool" apply "$work/cool.icc"
kill "$no_randr"
wait "$no_randr" 2>/dev/null

runs reset
table_is DUMMY0 identity "after reset the CRTC holds the identity"

# A second output: --output changes only the one named.
xrandr --addmode DUMMY1 1024x768 && xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 &&
    xrandr >/dev/null || fail "the second output is switched on"
runs apply "$work/warm.icc" --output DUMMY1
table_is DUMMY1 "vcgt:$work/warm.icc" "--output DUMMY1 loads DUMMY1"
table_is DUMMY0 identity "--output DUMMY1 leaves DUMMY0 alone"
runs apply "$work/cool.icc" --monitor 0
table_is DUMMY0 "vcgt:$work/cool.icc" "--monitor 0 loads DUMMY0"
table_is DUMMY1 "vcgt:$work/warm.icc" "--monitor 0 leaves DUMMY1 alone"
runs reset
table_is DUMMY1 identity "reset without --output resets DUMMY1"
table_is DUMMY0 identity "reset without --output resets DUMMY0"

# From process start to a changed table; printed for the README, not asserted.
timed="$build/release/tonalis"
[[ -x $timed ]] || timed=$tool
if command -v hyperfine >/dev/null; then
    hyperfine -N --warmup 5 --runs 100 --export-json "$work/speed.json" \
        "$timed apply $work/warm.icc --output DUMMY0" >/dev/null 2>&1 &&
        python3 -c "import json,sys; r=json.load(open(sys.argv[1]))['results'][0]; \
print(f\"apply takes {r['mean']*1000:.1f} ms (sd {r['stddev']*1000:.1f}, min {r['min']*1000:.1f}) \
over {len(r['times'])} runs of {sys.argv[2]}\")" "$work/speed.json" "$timed"
fi

finish
