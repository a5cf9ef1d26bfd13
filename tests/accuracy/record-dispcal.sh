#!/usr/bin/env bash
# Records ArgyllCMS's dispcal on each display of the accuracy benchmark, once,
# by hand: the test command only reads what this leaves in recorded/dispcal/.
#   bash tests/accuracy/record-dispcal.sh build/native/accuracy_table
# dispcal calibrates a display simulated from the profile fake.icc in its
# working folder, read through a noisy simulated instrument: three runs, and
# the median of each table entry is kept. Needs root (a mount namespace) and
# ArgyllCMS.
set -euo pipefail
program=$(realpath "$1")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out="$here/recorded/dispcal"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options=(-v -d fake -m -Y p -g 2.2 -w 0.3128,0.3292)

# At start dispcal looks for instruments on every serial device and hangs on
# these machines; in a mount namespace of its own it sees a /dev with only
# what it needs. Its keyboard polling complains about a stdin that is no
# terminal, in the middle of its lines.
run_dispcal() {
    unshare -m bash -c '
        mount -t tmpfs none /dev
        mknod -m 666 /dev/null c 1 3 && mknod -m 666 /dev/zero c 1 5
        mknod -m 666 /dev/random c 1 8 && mknod -m 666 /dev/urandom c 1 9
        cd "$1" && shift && exec dispcal "$@" </dev/null' _ "$@" 2>&1 |
        sed -E "s/poll_con_char: [a-z]+ failed with '[^']*' on stdin//g"
}

"$program" --fake-profiles "$work"
for folder in "$work"/*/; do
    id=$(basename "$folder")
    for run in 1 2 3; do
        run_dispcal "$folder" "${options[@]}" "run$run" >"$folder/run$run.log"
        # Without fake.icc it would calibrate a display of its own.
        grep -q "Using profile 'fake.icc'" "$folder/run$run.log" ||
            { echo "$id: dispcal did not use fake.icc" >&2; exit 1; }
    done
    python3 - "$folder"/run{1,2,3}.cal >"$out/$id.cal" <<'PY'
import statistics, sys
runs = [open(path).read().split("\n") for path in sys.argv[1:]]
start = runs[0].index("BEGIN_DATA") + 1
end = runs[0].index("END_DATA")
print("\n".join(runs[0][:start]))
for i in range(start, end):
    sets = [[float(v) for v in run[i].split()] for run in runs]
    print(" ".join("%.6f" % statistics.median(column) for column in zip(*sets)))
print("END_DATA")
PY
    grep -h "^White = \|Average neutral\|Maximum neutral" "$folder"/run*.log | sed "s/^/$id: /"
done
{
    echo "ArgyllCMS $(dpkg-query -W -f='${Version}' argyll 2>/dev/null || echo '(version unknown)')"
    echo "dispcal ${options[*]}"
    echo "each .cal: its calibration curves, the median of 3 runs entry by entry"
} >"$out/RECORDED"
