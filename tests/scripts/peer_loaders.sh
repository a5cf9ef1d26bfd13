#!/usr/bin/env bash
# tonalis apply beside the other loaders on Xorg's dummy driver, each table
# read back through XRandR: profiles that tonalis make and the applet save
# load in ArgyllCMS's dispwin and in xcalib as in tonalis apply; the 'vcgt'
# forms other tools write load in tonalis apply as dispwin loads them (the
# formula, on which dispwin is off, and the table of older Tonalis profiles,
# which dispwin refuses, as LittleCMS reads them), and tonalis vcgt prints
# what apply loads; dispwin -V finds
# the table apply loaded; malformed tables and missing files change nothing.
# Usage: peer_loaders.sh BUILD_DIR RESULTS_DIR
set -uo pipefail

# shellcheck source=tests/scripts/lib/loader_checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/loader_checks.sh" peer_loaders "$1" "$2"
forms="python3 $here/lib/vcgt_forms.py"

# loaded_by NAME COMMAND...: the identity first, then COMMAND; the CRTC's table
# afterwards goes to $work/NAME.json. xcalib loads the screen's XF86VidMode
# ramp, which this server keeps apart from the CRTC, so that is read for it.
loaded_by() {
    local name=$1 source=crtc:DUMMY0
    shift
    [[ $1 == xcalib ]] && source=vidmode
    "$tool" reset >/dev/null && xcalib -c && "$@" >"$work/$name.log" 2>&1 &&
        $tables read "$source" >"$work/$name.json" ||
        { echo "$* failed: $(tail -2 "$work/$name.log")" >"$work/$name.json"; return 1; }
}

# same NAME OTHER DESCRIPTION [TOLERANCE]: the two tables loaded are identical.
same() {
    $tables expect "$work/$1.json" "same:$work/$2.json" "${4:-0}" >"$work/expect.log" 2>&1 &&
        pass "$3" || fail "$3: $(tail -1 "$work/expect.log"); $(head -c 200 "$work/$1.json")"
}

"$tool" make -o "$work/made.icc" --gamma 2.2 --factor 1.2 --adjusted-white 5000K \
    --description "校准 显示器 😀" >/dev/null ||
    { fail "tonalis make writes a profile"; finish; }
saved=("$work/made.icc")
kept="$results/e2e-profiles"
for profile in "$kept"/*.icc; do
    [[ -f $profile ]] && grep -q "vcgt [0-9]" "${profile%.icc}.expect" && saved+=("$profile")
done
if [[ -f "$build/mingw/e2e_tests.exe" && ${#saved[@]} -lt 2 ]]; then
    fail "the end-to-end scenarios left profiles with a table in $kept"
fi

for profile in "${saved[@]}"; do
    name=$(basename "$profile" .icc)
    loaded_by tonalis "$tool" apply "$profile" &&
        $tables expect "$work/tonalis.json" "vcgt:$profile" >/dev/null ||
        fail "$name: tonalis apply loads the profile's table"
    loaded_by dispwin dispwin -d 1 "$profile"
    same dispwin tonalis "$name: dispwin loads the table tonalis apply loads"
    loaded_by xcalib xcalib "$profile"
    # The server keeps the XF86VidMode ramp to 8 bits.
    same xcalib tonalis "$name: xcalib loads the table tonalis apply loads, to 8 bits" 255
    "$tool" apply "$profile" >/dev/null && dispwin -d 1 -V "$profile" >"$work/verify.log" 2>&1 &&
        grep -q "IS loaded" "$work/verify.log" &&
        pass "$name: dispwin -V finds it loaded after tonalis apply" ||
        fail "$name: dispwin -V after tonalis apply: $(cat "$work/verify.log")"
done

for form in 8bit 8bit-padded 1024 mono formula old; do
    $forms "$form" "$work/made.icc" "$work/$form.icc" || fail "the $form profile is written"
    loaded_by tonalis "$tool" apply "$work/$form.icc"
    "$tool" vcgt "$work/$form.icc" >"$work/vcgt.txt"
    $tables read "show:$work/vcgt.txt" >"$work/vcgt.json" 2>/dev/null ||
        cp "$work/vcgt.txt" "$work/vcgt.json"
    same vcgt tonalis "tonalis vcgt prints the $form table apply loads"
    if [[ $form == formula || $form == old ]]; then
        $forms lcms "$work/$form.icc" "$work/tonalis.json" >"$work/peer.json"
        same tonalis peer "a vcgt $form loads in tonalis apply as LittleCMS reads it"
    else
        loaded_by peer dispwin -d 1 "$work/$form.icc"
        same tonalis peer "a vcgt table ($form) loads in tonalis apply as in dispwin"
    fi
done

# Refusals: status 2, the message, and the table loaded before untouched.
loaded_by tonalis "$tool" apply "$work/made.icc"
for case in "no-channels:1 or 3 channels" "overlong:ends before its values" "missing:does not exist"; do
    form=${case%%:*}
    [[ $form == missing ]] || $forms "$form" "$work/made.icc" "$work/$form.icc"
    "$tool" apply "$work/$form.icc" >/dev/null 2>"$work/err"
    status=$?
    $tables read crtc:DUMMY0 >"$work/after.json"
    [[ $status -eq 2 ]] && grep -q "${case#*:}" "$work/err" &&
        $tables expect "$work/after.json" "same:$work/tonalis.json" 0 >/dev/null &&
        pass "$form: refused with status 2, nothing changed: $(cat "$work/err")" ||
        fail "$form: status $status, $(cat "$work/err")"
done

finish
