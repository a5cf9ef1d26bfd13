#!/usr/bin/env python3
"""tonalis keep beside dispwin -X on the dummy X server: how soon each puts a
table back after a reset, a mode change and a new output, and what each costs
while idle (CPU from /proc over 60 s, resident memory). Printed, never judged.

  keeper_bench.py TONALIS PROFILE
"""
import os
import random
import signal
import statistics
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gamma_tables  # noqa: E402

TOLERANCE = 2 * 257  # two 8-bit levels, what a display keeps of a table
BOUND = 6.0  # seconds before a restore counts as never: three of dispwin's polls
IDLE = 60.0


def xrandr(*words):
    subprocess.run(["xrandr", *words], check=False, stderr=subprocess.DEVNULL)


def holds(output, want):
    try:
        table = gamma_tables.read_crtc(output)
    except SystemExit:  # the output has no CRTC yet
        return False
    return all(abs(a - b) <= TOLERANCE for c in want for a, b in zip(table[c], want[c]))


def restored_after(output, want, started):
    """Seconds from started until output holds want, or None past the bound."""
    while time.monotonic() - started < BOUND:
        if holds(output, want):
            return time.monotonic() - started
        time.sleep(0.005)
    return None


def layout(second_output):
    xrandr("--output", "DUMMY0", "--mode", "1024x768", "--gamma", "1:1:1")
    if second_output:
        xrandr("--output", "DUMMY1", "--mode", "1024x768", "--right-of", "DUMMY0")
    else:
        xrandr("--output", "DUMMY1", "--off")


def timed(action, output, want, rounds):
    """Latencies of rounds of action; stops at the first that never comes."""
    times = []
    for _ in range(rounds):
        action()
        took = restored_after(output, want, time.monotonic())
        times.append(took)
        if took is None:
            break
    return times


def measure(command, want):
    layout(False)
    started = time.monotonic()
    daemon = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    figures = {"load at start": [restored_after("DUMMY0", want, started)]}
    # Two resets, at random points of the poll: a third within a minute would
    # be a rival's, which tonalis keep leaves alone.
    figures["after a reset"] = timed(
        lambda: (time.sleep(random.uniform(0, 2)),
                 xrandr("--output", "DUMMY0", "--gamma", "1:1:1")), "DUMMY0", want, 2)
    modes = iter(["800x600", "1024x768"] * 2)
    figures["after a mode change"] = timed(
        lambda: xrandr("--output", "DUMMY0", "--mode", next(modes), "--gamma", "1:1:1"),
        "DUMMY0", want, 2)
    figures["new output"] = timed(
        lambda: xrandr("--output", "DUMMY1", "--mode", "1024x768", "--right-of", "DUMMY0",
                       "--gamma", "1:1:1"), "DUMMY1", want, 1)
    daemon.send_signal(signal.SIGTERM)
    daemon.wait()
    return figures


def cpu_seconds(pid):
    """Time on a CPU of every thread, from the scheduler's nanosecond counts:
    the clock ticks of /proc/PID/stat are too coarse for an idle process."""
    tasks = f"/proc/{pid}/task"
    return sum(int(open(f"{tasks}/{t}/schedstat").read().split()[0])
               for t in os.listdir(tasks)) / 1e9


def resident_mb(pid):
    for line in open(f"/proc/{pid}/status"):
        if line.startswith("VmRSS:"):
            return int(line.split()[1]) / 1024
    return float("nan")


def idle_costs(commands):
    layout(False)
    daemons = [subprocess.Popen(c, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
               for c in commands]
    time.sleep(2)  # past their start-up
    before = [cpu_seconds(d.pid) for d in daemons]
    time.sleep(IDLE)
    costs = [(100 * (cpu_seconds(d.pid) - b) / IDLE, resident_mb(d.pid))
             for d, b in zip(daemons, before)]
    for daemon in daemons:
        daemon.send_signal(signal.SIGTERM)
        daemon.wait()
    return costs


def why_dispwin_restores_nothing():
    """dispwin's own account of its daemon's first moments (-D 1)."""
    layout(False)
    daemon = subprocess.Popen(["dispwin", "-D", "1", "-X"], stdout=subprocess.DEVNULL,
                              stderr=subprocess.PIPE, text=True)
    lines = []
    for line in daemon.stderr:
        lines.append(line.strip())
        if line.startswith("finished"):
            break
    daemon.send_signal(signal.SIGTERM)
    daemon.wait()
    loaded = any(line.startswith("Loading current profile") for line in lines)
    undone = any(line.startswith("Restored original ramdac") for line in lines)
    if loaded and undone:
        return ("dispwin -X loads the associated profile, then puts the original table back "
                "as it closes its display (its -D log: 'Restored original ramdac'), and does "
                "not look again")
    if not loaded:
        return "dispwin -X found no profile associated with the monitor"
    return "dispwin -X loaded the profile but the CRTC does not hold it"


def text(times):
    done = [t for t in times if t is not None]
    if not done:
        return "never"
    ms = [t * 1000 for t in done]
    shown = f"{statistics.median(ms):.0f} ms"
    if len(ms) > 1:
        shown += f" (max {max(ms):.0f})"
    return shown + (", then never" if len(done) < len(times) else "")


def main():
    tool, profile = sys.argv[1:3]
    want = gamma_tables.expected(f"vcgt:{profile}", 256)
    ours = [tool, "keep", profile]
    theirs = ["dispwin", "-X"]
    xrandr("--addmode", "DUMMY1", "1024x768")
    # dispwin -X loads what is installed for each monitor, in its own configuration.
    layout(True)
    for number in ("1", "2"):
        subprocess.run(["dispwin", "-d", number, "-I", profile], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    figures = [measure(ours, want), measure(theirs, want)]
    costs = idle_costs([ours, theirs])
    print(f"keeper speed on the dummy X server, {tool} (interval 2 s) beside dispwin -X:")
    print(f"  {'':30} {'tonalis keep':>22} {'dispwin -X':>22}")
    for name in figures[0]:
        print(f"  {name:30} {text(figures[0][name]):>22} {text(figures[1][name]):>22}")
    print(f"  {'idle CPU over 60 s':30} {costs[0][0]:21.4f}% {costs[1][0]:21.4f}%")
    print(f"  {'resident memory':30} {costs[0][1]:19.1f} MB {costs[1][1]:19.1f} MB")
    if all(t is None for t in figures[1]["after a reset"]):
        print("  " + why_dispwin_restores_nothing())


if __name__ == "__main__":
    main()
