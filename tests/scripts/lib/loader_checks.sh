# Sourced by the native loader checks: the native tool, a work folder, pass
# and fail counters and Xorg's dummy driver on TONALIS_LOADER_DISPLAY.
# Usage: source loader_checks.sh NAME BUILD_DIR RESULTS_DIR
check_name=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$2" && pwd)
results=$3
tool="$build/native/tonalis"
tables="python3 $here/lib/gamma_tables.py"
display_number=${TONALIS_LOADER_DISPLAY:-94}
mkdir -p "$results"
work=$(mktemp -d)
passed=0
failed=0
pass() { echo "PASS: $1"; passed=$((passed + 1)); }
fail() { echo "FAIL: $1"; failed=$((failed + 1)); }
finish() {
    echo "$passed $failed" >"$results/$check_name.counts"
    echo "$check_name: $passed passed, $failed failed"
    stop_xserver
    rm -rf "$work"
    [[ $failed -eq 0 ]]
    exit $?
}

# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
[[ -x $tool ]] || { fail "the native tool is built ($tool)"; finish; }
start_xserver dummy "$display_number" "$build/xorg-$check_name.log" ||
    { fail "the dummy X server starts"; finish; }
