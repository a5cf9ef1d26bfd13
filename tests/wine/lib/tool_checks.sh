# Sourced by the Wine checks of the command-line tool.
# Usage: tool_checks_begin NAME BUILD_DIR RESULTS_DIR (BUILD_DIR holds native/
# and mingw/; the caller has set up the Wine prefix). Sets native, windows,
# work and results, and gives pass, fail, finish and same_json.

tool_checks_begin() {
    check_name=$1
    build=$(cd "$2" && pwd)
    results=$3
    native="$build/native/tonalis"
    windows="$build/mingw/tonalis.exe"
    export WINEDEBUG=${WINEDEBUG:--all}
    mkdir -p "$results"
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    passed=0
    failed=0
    if [[ ! -x $native || ! -f $windows ]]; then
        fail "both tools built ($native, $windows)"
        finish
    fi
}

pass() { echo "PASS: $1"; passed=$((passed + 1)); }

# pe_field FILE OFFSET: the 16-bit field at OFFSET in the program's PE header
# (4 the machine, 332 for 32-bit x86; 92 the subsystem, 2 with windows, 3 a console).
pe_field() {
    python3 -c 'import struct, sys
d = open(sys.argv[1], "rb").read(4096)
print(struct.unpack_from("<H", d, struct.unpack_from("<I", d, 0x3c)[0] + int(sys.argv[2]))[0])' "$1" "$2" 2>/dev/null
}
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }

finish() {
    echo "$passed $failed" >"$results/$check_name.counts"
    echo "$check_name: $passed passed, $failed failed"
    [[ $failed -eq 0 ]]
    exit $?
}

# JSON texts equal in shape, integers and texts exactly, other numbers to 1e-12
# relative (the 32-bit build computes in x87 registers).
same_json() {
    python3 - "$1" "$2" <<'PY'
import json, math, sys
def same(a, b):
    if isinstance(a, dict):
        return isinstance(b, dict) and a.keys() == b.keys() and all(same(a[k], b[k]) for k in a)
    if isinstance(a, list):
        return isinstance(b, list) and len(a) == len(b) and all(map(same, a, b))
    if isinstance(a, (bool, str)) or isinstance(b, (bool, str)):
        return a == b
    if isinstance(a, int) and isinstance(b, int):
        return a == b
    return math.isclose(a, b, rel_tol=1e-12, abs_tol=1e-15)
with open(sys.argv[1]) as n, open(sys.argv[2]) as w:
    sys.exit(0 if same(json.load(n), json.load(w)) else 1)
PY
}

# compare_outputs NAME KIND ARGS...: the outputs the two builds left in
# $work/NAME.native.out and $work/NAME.wine.out agree (KIND json or text).
compare_outputs() {
    local name=$1 kind=$2
    shift 2
    if [[ $kind == json ]]; then
        same_json "$work/$name.native.out" "$work/$name.wine.out" ||
            { fail "tonalis $*: JSON differs"; return; }
    else
        cmp -s "$work/$name.native.out" "$work/$name.wine.out" ||
            { fail "tonalis $*: text differs"; diff "$work/$name.native.out" "$work/$name.wine.out" | head -6; return; }
    fi
    pass "tonalis $* agrees ($kind)"
}
