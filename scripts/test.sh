#!/usr/bin/env bash
# Runs every test: the native suites under sanitizers, the command-line tool,
# the accuracy table, the fuzz targets and the benchmarks, then the MinGW
# build with its Wine suites on private X servers. Exits non-zero when
# anything fails.
set -uo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build"
results="$build/results"
jobs=$(nproc)
# Private X servers take display numbers from here up; two checkouts tested at
# once need bases at least 10 apart.
display_base=${TONALIS_DISPLAY_BASE:-91}
export TONALIS_LOADER_DISPLAY=${TONALIS_LOADER_DISPLAY:-$((display_base + 3))}
export TONALIS_LOADER_WINE_DISPLAY=${TONALIS_LOADER_WINE_DISPLAY:-$((display_base + 5))}
export TONALIS_KEEPER_DISPLAY=${TONALIS_KEEPER_DISPLAY:-$((display_base + 6))}
export TONALIS_KEEPER_SPEED_DISPLAY=${TONALIS_KEEPER_SPEED_DISPLAY:-$((display_base + 7))}

bash "$root/scripts/install-deps.sh" || { echo "dependency install failed" >&2; exit 1; }
# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
trap 'stop_window_manager; stop_xserver' EXIT

rm -rf "$results"
mkdir -p "$results"
failed_steps=()

step() {
    local name=$1
    shift
    local started=$SECONDS
    echo "=== $name"
    if ! "$@"; then
        failed_steps+=("$name")
        echo "=== $name FAILED"
    fi
    echo "=== $name took $((SECONDS - started)) s"
}

configure_and_build() {
    local dir=$1
    shift
    cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >"$dir.configure.log" 2>&1 ||
        { cat "$dir.configure.log"; return 1; }
    cmake --build "$dir" -j "$jobs" >"$dir.build.log" 2>&1 || { tail -60 "$dir.build.log"; return 1; }
}

run_native_unit_tests() {
    local status=0 suite
    for suite in "$build"/native/*_tests; do
        [[ -x $suite ]] || continue
        echo "--- $(basename "$suite")"
        ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
            "$suite" --gtest_brief=1 --gtest_output="xml:$results/$(basename "$suite").xml" ||
            status=1
    done
    return $status
}

run_fuzzers() {
    local status=0 target name corpus
    for target in "$build"/fuzz/fuzz_*; do
        [[ -x $target ]] || continue
        name=$(basename "$target")
        corpus="$build/fuzz-corpus/$name"
        mkdir -p "$corpus"
        # Seeds and every crash input kept from development are replayed first.
        if [[ -d "$root/tests/fuzz/regressions/$name" ]]; then
            "$target" -runs=0 "$root/tests/fuzz/regressions/$name"/ >"$build/$name.replay.log" 2>&1 ||
                { tail -40 "$build/$name.replay.log"; status=1; continue; }
        fi
        "$target" -max_total_time="${TONALIS_FUZZ_SECONDS:-60}" -print_final_stats=1 \
            "$corpus" "$root/tests/fuzz/seeds/$name" >"$build/$name.log" 2>&1 ||
            { tail -40 "$build/$name.log"; status=1; }
        grep -E 'stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$build/$name.log" || true
    done
    return $status
}

run_benchmarks() {
    "$build/release/tonalis_bench" --benchmark_min_time=0.2
}

# A window manager on the current X server for the end-to-end runs: a desktop
# has one, and without it Wine waits two seconds for every window it hides.
TONALIS_WM_PID=""
start_window_manager() {
    command -v openbox >/dev/null || return 0
    openbox --sm-disable >/dev/null 2>&1 &
    TONALIS_WM_PID=$!
    for _ in $(seq 1 50); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && return 0
        sleep 0.1
    done
}

stop_window_manager() {
    if [[ -n $TONALIS_WM_PID ]]; then
        kill "$TONALIS_WM_PID" 2>/dev/null || true
        wait "$TONALIS_WM_PID" 2>/dev/null || true
        TONALIS_WM_PID=""
    fi
}

# One check script, with the time it took.
timed_script() {
    local script=$1 started=$SECONDS status=0
    echo "--- $(basename "$script")"
    bash "$script" "$build" "$results" || status=1
    echo "--- $(basename "$script") took $((SECONDS - started)) s"
    return $status
}

# One run of a Wine test program on the current X server.
run_wine_suite() {
    local program=$1 label=$2 setup=$3 started=$SECONDS
    shift 3
    # GoogleTest under Wine needs a drive-letter path for its report.
    local report
    report=$(winepath -w "$results/$label.xml" 2>/dev/null)
    TONALIS_DISPLAY_SETUP=$setup TONALIS_BUILD_DIR="$build/mingw" \
        timeout --kill-after=10 900 wine "$build/mingw/$program" --gtest_brief=1 \
        --gtest_output="xml:$report" "$@"
    local status=$?
    if [[ ! -f "$results/$label.xml" ]]; then
        echo "$label: no test report was written"
        status=1
    fi
    # The next run must start a new server, which reads the displays afresh.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    echo "--- $label took $((SECONDS - started)) s"
    return $status
}

# Whole runs of TNP.cpl timed: printed, never judged; a run that cannot be
# driven fails.
run_applet_bench() {
    [[ -f $build/mingw/applet_bench.exe ]] || return 0
    wine "$build/mingw/applet_bench.exe" "$@"
    local status=$?
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    return $status
}

run_wine_suites() {
    local status=0 program
    setup_wine "$build/mingw" unmanaged
    # The end-to-end scenarios leave their saved profiles here for the
    # LittleCMS check among the script checks.
    mkdir -p "$results/e2e-profiles"
    TONALIS_E2E_OUTPUT=$(winepath -w "$results/e2e-profiles" 2>/dev/null)
    export TONALIS_E2E_OUTPUT
    # winepath ran with no X server: the first suite must not inherit its
    # Wine server, whose desktop has no display.
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
    for program in win32_tests.exe e2e_tests.exe; do
        [[ -f "$build/mingw/$program" ]] || continue
        local label=${program%.exe}

        start_xserver xvfb "$display_base" "$build/xvfb.log" || return 1
        [[ $program == e2e_tests.exe ]] && start_window_manager
        run_wine_suite "$program" "$label-xvfb" xvfb || status=1
        [[ $program == e2e_tests.exe ]] && { run_applet_bench || status=1; }
        stop_window_manager
        stop_xserver

        start_xserver dummy "$((display_base + 1))" "$build/xorg.log" || return 1
        [[ $program == e2e_tests.exe ]] && start_window_manager
        run_wine_suite "$program" "$label-dummy" dummy || status=1
        [[ $program == e2e_tests.exe ]] && { run_applet_bench --slider || status=1; }
        # User interface timings on the settable ramp: printed, never judged.
        if [[ $program == win32_tests.exe && -f $build/mingw/ui_bench.exe ]]; then
            wine "$build/mingw/ui_bench.exe" || status=1
            wineserver -k 2>/dev/null || true
            wineserver -w 2>/dev/null || true
        fi
        # A plain query after each change makes the dummy driver publish the new
        # layout; without it Wine starts with the old one.
        xrandr --addmode DUMMY1 1024x768 &&
            xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 && xrandr >/dev/null &&
            run_wine_suite "$program" "$label-right" dummy-right --gtest_filter='*TwoMonitors*' ||
            status=1
        if [[ $program == win32_tests.exe ]]; then
            xrandr --output DUMMY1 --mode 1024x768 --left-of DUMMY0 && xrandr >/dev/null &&
                run_wine_suite "$program" "$label-left" dummy-left --gtest_filter='*TwoMonitors*' ||
                status=1
        fi
        stop_window_manager
        stop_xserver
    done
    for script in "$root"/tests/wine/*.sh; do
        [[ -f $script ]] || continue
        start_xserver xvfb "$((display_base + 2))" "$build/xvfb-script.log" || return 1
        timed_script "$script" || status=1
        wineserver -k 2>/dev/null || true
        stop_xserver
    done
    return $status
}

run_scripts() {
    local status=0 script
    for script in "$root"/tests/scripts/*.sh; do
        [[ -f $script ]] || continue
        timed_script "$script" || status=1
    done
    return $status
}

step "native build (ASan, UBSan)" configure_and_build "$build/native" -DTONALIS_SANITIZE=ON
step "native unit tests" run_native_unit_tests
# What a perfect-eye calibration gives on simulated displays; accuracy_tests,
# among the unit tests, guards these figures.
step "accuracy table" "$build/native/accuracy_table"
if compgen -G "$root/tests/fuzz/*.cpp" >/dev/null; then
    step "fuzz build" configure_and_build "$build/fuzz" -DCMAKE_CXX_COMPILER=clang++ \
        -DCMAKE_C_COMPILER=clang -DTONALIS_SANITIZE=ON -DTONALIS_FUZZ=ON
    step "fuzzing" run_fuzzers
fi
if compgen -G "$root/tests/bench/*.cpp" >/dev/null; then
    step "benchmark build" configure_and_build "$build/release" -DCMAKE_BUILD_TYPE=Release \
        -DTONALIS_SANITIZE=OFF -DTONALIS_BENCHMARKS=ON
    step "benchmarks" run_benchmarks
fi
step "MinGW build" configure_and_build "$build/mingw" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake"
step "Wine suites" run_wine_suites
step "script checks" run_scripts

python3 "$root/scripts/summarize-results.py" "$results"
summary_status=$?
if [[ ${#failed_steps[@]} -gt 0 ]]; then
    echo "Failed steps: ${failed_steps[*]}"
    exit 1
fi
exit $summary_status
