#!/usr/bin/env bash
# tonalis keep on Xorg's dummy driver, through the real binary, with each
# CRTC's table read by the checks' own XRandR reader: a reset, a mode change
# and a new output put right, a rival it leaves alone, one keeper per display,
# --stop, SIGTERM and the end of the X server.
# Usage: keeper_x.sh BUILD_DIR RESULTS_DIR
set -uo pipefail

TONALIS_LOADER_DISPLAY=${TONALIS_KEEPER_DISPLAY:-$((${TONALIS_DISPLAY_BASE:-91} + 6))}
# shellcheck source=tests/scripts/lib/loader_checks.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib/loader_checks.sh" keeper_x "$1" "$2"
# The keeper's lock and status stay in the work folder.
export XDG_RUNTIME_DIR=$work HOME=$work
: >"$work/keep.err"

# eventually SECONDS COMMAND...: COMMAND succeeds within SECONDS, asked every 50 ms.
eventually() {
    local tries=$(($1 * 20))
    shift
    for _ in $(seq 1 "$tries"); do
        "$@" && return 0
        sleep 0.05
    done
    "$@"
}
holds() { $tables read "crtc:$1" >"$work/now.json" && $tables expect "$work/now.json" "$2" >/dev/null; }
said() { grep -q -- "$1" "$work/keep.err"; }
exited() { ! kill -0 "$1" 2>/dev/null; }
checks_done() { "$tool" keep --status | sed -n 's/.*, \([0-9]*\) checks so far/\1/p'; }

# check DESCRIPTION COMMAND...: one pass or fail, with the keeper's last lines.
check() {
    local description=$1
    shift
    if "$@"; then pass "$description"; else fail "$description: $(tail -3 "$work/keep.err")"; fi
}

"$tool" make -o "$work/warm.icc" --gamma 2.2 --factor 1.2 --adjusted-white 5000K >/dev/null &&
    "$tool" make -o "$work/cool.icc" --gamma 1.8 --adjusted-white 9300K >/dev/null &&
    "$tool" make -o "$work/plain.icc" --no-vcgt >/dev/null || { fail "the profiles are made"; finish; }

$tables read crtc:DUMMY0 >"$work/before.json"
"$tool" keep "$work/plain.icc" 2>"$work/err"
status=$?
check "a profile without a table: status 2 and nothing kept ($status: $(cat "$work/err"))" \
    eval '[[ $status -eq 2 ]] && holds DUMMY0 "same:$work/before.json"'

"$tool" keep "$work/warm.icc" --interval 0.1 2>"$work/err"
status=$?
check "an interval under 0.5 s: status 2 ($status: $(cat "$work/err"))" \
    eval '[[ $status -eq 2 ]] && grep -q "from 0.5 to 60" "$work/err"'

echo 99999 >"$work/tonalis-keep-$DISPLAY.lock" # left by a keeper that died
"$tool" keep DUMMY0="$work/warm.icc" DUMMY1="$work/cool.icc" 2>"$work/keep.err" &
keeper=$!
check "a stale lock is no hindrance: at start DUMMY0 gets its table" eventually 15 holds DUMMY0 "vcgt:$work/warm.icc"

# The keeper is paused while the table is reset, so the reset is seen to take.
kill -STOP "$keeper"
xrandr --output DUMMY0 --gamma 1:1:1
check "the reset took" holds DUMMY0 identity
kill -CONT "$keeper"
check "a reset by another program is restored, and said so" eval 'eventually 15 holds DUMMY0 \
    "vcgt:$work/warm.icc" && said "DUMMY0: restored after a change by another program"'

# The dummy driver keeps the table through a mode change, where real drivers
# reset it: the same xrandr call resets it.
kill -STOP "$keeper"
xrandr --output DUMMY0 --mode 800x600 --gamma 1:1:1
check "the mode change and reset took" \
    eval 'holds DUMMY0 identity && xrandr | grep -q "DUMMY0 connected primary 800x600"'
kill -CONT "$keeper"
check "after a mode change the table is restored, and said so" eval 'eventually 15 holds DUMMY0 \
    "vcgt:$work/warm.icc" && said "DUMMY0: restored after a mode change"'

xrandr --addmode DUMMY1 1024x768 && xrandr --output DUMMY1 --mode 1024x768 --right-of DUMMY0 ||
    fail "the second output is switched on"
check "a new output gets its own profile, and said so" eval 'eventually 15 holds DUMMY1 \
    "vcgt:$work/cool.icc" && said "DUMMY1: new output loaded"'

"$tool" keep "$work/warm.icc" >/dev/null 2>"$work/err"
status=$?
check "a second keeper is refused: $(cat "$work/err")" \
    eval '[[ $status -eq 1 ]] && grep -q "already running.*(process $keeper)" "$work/err"'
# The same server under other spellings: still one keeper.
for spelling in unix 127.0.0.1 localhost "$(hostname)"; do
    DISPLAY=$spelling:$display_number.0 timeout 5 "$tool" keep "$work/warm.icc" 2>"$work/err"
    check "so is one on $spelling:$display_number.0" \
        eval "[[ $? -eq 1 ]] && grep -q 'running on display :$display_number ' '$work/err'"
done
"$tool" keep --status >"$work/status"
check "--status names each output's profile and its restores: $(tr '\n' '|' <"$work/status")" \
    eval 'grep -q "DUMMY0: $work/warm.icc, restored 2 times" "$work/status" &&
          grep -q "DUMMY1: $work/cool.icc, restored 0 times" "$work/status"'

# A rival that writes its own table every 0.3 s.
(while xrandr --output DUMMY0 --gamma 1:1:1; do sleep 0.3; done) &
rival=$!
check "against a rival it stands down" eventually 20 said "DUMMY0: stood down"
kill "$rival"
wait "$rival" 2>/dev/null
check "with one message" eval '[[ $(grep -c "stood down" "$work/keep.err") -eq 1 ]]'
xrandr --output DUMMY0 --gamma 1:1:1
before=$(checks_done)
check "and writes no more over two checks" \
    eval 'eventually 20 eval "[[ \$(checks_done) -ge $((before + 2)) ]]" && holds DUMMY0 identity'
"$tool" keep --reload >/dev/null
check "--reload keeps it again" eventually 15 holds DUMMY0 "vcgt:$work/warm.icc"

# A new calibration saved into the kept file, and no apply: it is kept.
for name in new warm; do
    "$tool" make -o "$work/$name.icc" --gamma 1.6 --adjusted-white 7500K >/dev/null
done
check "a new calibration saved into the kept file is loaded, and said so" eval 'eventually 15 \
    holds DUMMY0 "vcgt:$work/new.icc" && said "DUMMY0: a new calibration kept"'
before=$(checks_done)
check "and held over more than three checks" eval 'eventually 20 \
    eval "[[ \$(checks_done) -ge $((before + 4)) ]]" && holds DUMMY0 "vcgt:$work/new.icc"'
# Rewritten in place at the same size and time, the file is read on --reload.
kill -STOP "$keeper"
cp -p "$work/warm.icc" "$work/stamp" && cat "$work/cool.icc" >"$work/warm.icc" &&
    touch -r "$work/stamp" "$work/warm.icc"
kill -CONT "$keeper"
"$tool" keep --reload >/dev/null
check "--reload reads the kept file again" eventually 15 holds DUMMY0 "vcgt:$work/cool.icc"

# A process id in the lock file is no keeper's: the lock says which one holds it.
sleep 600 & decoy=$!
echo "$decoy" >"$work/tonalis-keep-$DISPLAY.lock"
"$tool" keep --stop >"$work/out" 2>&1
check "--stop ends the keeper: $(cat "$work/out")" eventually 5 exited "$keeper"
check "and only the keeper" eval '! exited "$decoy"'
kill "$decoy"
wait "$keeper"
check "with status 0" eval "[[ $? -eq 0 ]]"

# Without XDG_RUNTIME_DIR the files are in /tmp, where a link may be planted.
xrandr --output DUMMY0 --gamma 1:1:1
in_tmp=/tmp/tonalis-keep-$(id -u)-$DISPLAY
ln -sfn "$work/planted" "$in_tmp.status.new"
env -u XDG_RUNTIME_DIR "$tool" keep "$work/cool.icc" --quiet 2>"$work/keep.err" &
keeper=$!
eventually 15 holds DUMMY0 "vcgt:$work/cool.icc" || fail "the quiet keeper loads"
env -u XDG_RUNTIME_DIR "$tool" keep --status >"$work/status"
check "--status in /tmp writes through no link planted there" \
    eval '[[ ! -e $work/planted ]] && grep -q "DUMMY0: $work/cool.icc" "$work/status"'
kill -TERM "$keeper"
check "SIGTERM ends it" eventually 5 exited "$keeper"
wait "$keeper"
status=$?
check "with status 0, quietly, the table left loaded ($status: $(cat "$work/keep.err"))" \
    eval '[[ $status -eq 0 && ! -s $work/keep.err ]] && holds DUMMY0 "vcgt:$work/cool.icc"'
rm -f "$in_tmp".*

"$tool" keep "$work/warm.icc" --output DUMMY1 --interval 5 --install-autostart >"$work/out"
entry=$work/.config/autostart/tonalis-keep.desktop
check "--install-autostart writes the same arguments: $(grep Exec "$entry")" \
    grep -q "^Exec=.*tonalis keep $work/warm.icc --output DUMMY1 --interval 5$" "$entry"
"$tool" keep --remove-autostart >/dev/null
check "--remove-autostart deletes it" eval '[[ ! -e $entry ]]'

"$tool" keep "$work/warm.icc" 2>"$work/keep.err" &
keeper=$!
eventually 15 holds DUMMY0 "vcgt:$work/warm.icc" || fail "the last keeper loads"
stop_xserver
check "the X server going away ends it" eventually 5 exited "$keeper"
wait "$keeper"
check "with status 0" eval "[[ $? -eq 0 ]]"

finish
