#!/usr/bin/env bash
# tonalis keep beside ArgyllCMS's dispwin -X on Xorg's dummy driver: restore
# latencies, idle CPU and memory, printed side by side, never judged; it
# fails only when it cannot run.
# Usage: keeper_speed.sh BUILD_DIR RESULTS_DIR
set -uo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "$1" && pwd)
display_number=${TONALIS_KEEPER_SPEED_DISPLAY:-$((${TONALIS_DISPLAY_BASE:-91} + 7))}
# The build a user runs; the sanitized one only when there is no other.
tool="$build/release/tonalis"
[[ -x $tool ]] || tool="$build/native/tonalis"
command -v dispwin >/dev/null || { echo "keeper_speed: no dispwin, nothing timed"; exit 0; }
[[ -x $tool ]] || { echo "keeper_speed: the tool is not built"; exit 1; }

# shellcheck source=scripts/xserver.sh
source "$root/scripts/xserver.sh"
work=$(mktemp -d)
trap 'stop_xserver; rm -rf "$work"' EXIT
# Each keeper's lock and dispwin's profile associations stay in the work folder.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data XDG_RUNTIME_DIR=$work
start_xserver dummy "$display_number" "$build/xorg-keeper-speed.log" || exit 1
"$tool" make -o "$work/warm.icc" --gamma 2.2 --factor 1.2 --adjusted-white 5000K >/dev/null ||
    exit 1
python3 "$here/lib/keeper_bench.py" "$tool" "$work/warm.icc"
