#!/usr/bin/env bash
# How long tonalis apply and reset take beside xcalib and dispwin, as whole
# processes on Xorg's dummy driver: rounds of hyperfine runs that take turns,
# then each command's median over every round and its ratio to xcalib doing
# the same. Printed, never judged; it fails only when a command does.
# Usage: loader_speed.sh BUILD_DIR RESULTS_DIR
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
display_number=${TONALIS_LOADER_DISPLAY:-94}
rounds=${TONALIS_SPEED_ROUNDS:-30}
# The build a user runs; the sanitized one only when there is no other.
tool="$build/release/tonalis"
[[ -x $tool ]] || tool="$build/native/tonalis"
for program in hyperfine xcalib dispwin; do
    command -v "$program" >/dev/null || { echo "loader_speed: no $program, nothing timed"; exit 0; }
done
[[ -x $tool ]] || { echo "loader_speed: the tool is not built"; exit 1; }

# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
work=$(mktemp -d)
trap 'stop_xserver; rm -rf "$work"' EXIT
start_xserver dummy "$display_number" "$build/xorg-speed.log" || exit 1
"$tool" make -o "$work/warm.icc" --gamma 2.2 --factor 1.2 --adjusted-white 5000K >/dev/null ||
    exit 1

commands=("$tool apply $work/warm.icc" "xcalib $work/warm.icc" "dispwin -d 1 $work/warm.icc"
    "$tool reset" "xcalib -c")
for round in $(seq 1 "$rounds"); do
    hyperfine -N --warmup 1 --runs 3 --export-json "$work/round$round.json" "${commands[@]}" \
        >/dev/null 2>"$work/hyperfine.log" || { cat "$work/hyperfine.log"; exit 1; }
done

python3 - "$work" "$tool" <<'PY'
import glob
import json
import statistics
import sys

work, tool = sys.argv[1:3]
times = {}
cpu = {}
for path in glob.glob(f"{work}/round*.json"):
    for result in json.load(open(path))["results"]:
        name = result["command"].replace(tool, "tonalis").replace(f"{work}/", "")
        times.setdefault(name, []).extend(result["times"])
        cpu.setdefault(name, []).append(result["user"] + result["system"])
median = {name: statistics.median(t) * 1000 for name, t in times.items()}
print(f"loader speed, medians of {len(next(iter(times.values())))} runs each ({tool}):")
for name, ms in median.items():
    print(f"  {name:<32} {ms:6.2f} ms  (CPU {statistics.mean(cpu[name]) * 1000:.2f} ms)")
for ours, theirs in (("tonalis apply warm.icc", "xcalib warm.icc"), ("tonalis reset", "xcalib -c")):
    print(f"  {ours} / {theirs}: {median[ours] / median[theirs]:.2f}")
PY
