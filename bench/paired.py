#!/usr/bin/env python3
"""Times the programs of two builds against each other, in pairs, on one file.

usage: paired.py BUILD OTHER_BUILD DATA_DIR [--pairs N] [--size MB] [--spawn PATH] [--move PATH]
       paired.py BUILD OTHER_BUILD DATA_DIR --seven [--doubts] [--pairs N] [--spawn PATH]

Each command of BUILD ("now") and of OTHER_BUILD ("then") runs once to warm the page cache,
then in N rounds: then, now, now again, the order turned round every other round, so that a
change in the machine's load falls on both alike. Printed for each command: the medians of the
CPU time (user + system) of each side, now/then as the median of the rounds' own ratios, and
now-again/now, the same binary paired with itself, which shows how far the noise alone moves
such a ratio. Then the gate: now's CPU time against floors timed in the same rounds (wc -l,
and for the long reports the moving of their own bytes through user space, bench/move.cpp),
and its peak memory. The file is DATA_DIR/bench-SIZEmb-utf8.ged (default 100), the generated
text with letters beyond ASCII in its names.

With --seven, the gate of the 7.0 rules instead: lineagecheck -v --no-doubts on
DATA_DIR/bench-100mb-7.ged over the same on bench-100mb-linked.ged (a 5.5 file of the same size),
at most 2x, for each build in the same rounds and for BUILD again (the self pair); with --doubts,
-v with its doubts on bench-100mb-7-linked.ged (gen_gedcom.py 100 FILE --seven --linked), whose
dates agree with its links as the 5.5 file's do.
"""
import os
import statistics
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import charsets  # noqa: E402
from builds import program  # noqa: E402
from run import verdict  # noqa: E402

MIB = 1024
# (command, floor, most times the floor, most peak memory in MiB)
GATE = {"lineagehtml -i": ("move -i", 2, 32), "lineagehtml -f": ("move -f", 3, 32),
        "lineagehtml -s": ("wc -l", 2.5, 32), "lineagehtml -t": ("wc -l", 3, 32),
        "lineagecheck -b": ("wc -l", 2, 32), "lineagecheck -s": ("wc -l", 2, 32),
        "lineagecheck -t": ("wc -l", 2, 32), "lineagecheck -v": ("wc -l", 5, 64),
        "lineagetree --print": ("wc -l", 2, 64)}


def option(name, default):
    return sys.argv[sys.argv.index(name) + 1] if name in sys.argv else default


def commands(build, path):
    html, check = program(build, "lineagehtml"), program(build, "lineagecheck")
    found = [(f"lineagehtml -{f}", [html, f"-{f}", path]) for f in "ifst"]
    found += [(f"lineagecheck -{f}", [check, f"-{f}", path]) for f in "bstv"]
    return found + [("lineagetree --print", [program(build, "lineagetree"), "--print", path, "1"])]


def run_once(spawn, argv, out):
    res = subprocess.run([spawn, out] + argv, capture_output=True, text=True, check=True)
    wall, user, system, rss, status = res.stdout.split()
    if int(status) != 0 and not (int(status) == 1 and "-v" in argv):
        raise SystemExit(f"{' '.join(argv)} exited with status {status}")
    return float(user) + float(system), int(rss)


def floors(path, move, sizes):
    found = [("wc -l", ["wc", "-l", path])]
    return found + [(f"move -{f}", [move, path, str(sizes[f"lineagehtml -{f}"])]) for f in "if"]


def rounds(spawn, now, then, floor, out, pairs):
    cpu = {key: [] for key in [("now", n) for n, _ in now] + [("then", n) for n, _ in then] +
           [("again", n) for n, _ in now] + [("floor", n) for n, _ in floor]}
    peak = {n: 0 for n, _ in now}
    for k in range(pairs):
        for (name, a), (_, b) in zip(now, then):
            order = [("then", b), ("now", a), ("again", a)]
            for side, argv in order if k % 2 == 0 else reversed(order):
                c, rss = run_once(spawn, argv, out)
                cpu[(side, name)].append(c)
                if side != "then":
                    peak[name] = max(peak[name], rss)
        for name, argv in floor:
            cpu[("floor", name)].append(run_once(spawn, argv, out)[0])
    return cpu, peak


def paired_ratio(over, under):
    return statistics.median(a / b for a, b in zip(over, under) if b > 0)


def report(now, cpu, peak):
    med = {key: statistics.median(v) for key, v in cpu.items()}
    print(f"{'command':<21} {'then s':>7} {'now s':>7} {'now/then':>9} {'self':>6} "
          f"{'floor':>7} {'x floor':>8} {'aim':>5} {'peak MiB':>9}")
    missed = []
    for name, _ in now:
        floor, most, memory = GATE[name]
        times = med[("now", name)] / med[("floor", floor)]
        print(f"{name:<21} {med[('then', name)]:7.3f} {med[('now', name)]:7.3f}"
              f" {paired_ratio(cpu[('now', name)], cpu[('then', name)]):9.3f}"
              f" {paired_ratio(cpu[('again', name)], cpu[('now', name)]):6.3f}"
              f" {floor:>7} {times:8.2f} {most:5.1f} {peak[name] / MIB:9.1f}")
        if times > most:
            missed.append(f"{name}: {times:.2f}x {floor}, aim {most}x")
        if peak[name] >= memory * MIB:
            missed.append(f"{name}: peak memory {peak[name] / MIB:.1f} MiB, limit {memory} MiB")
    print("floors: " + ", ".join(f"{n} {med[('floor', n)]:.3f} s" for n in ("wc -l", "move -i", "move -f")))
    return missed


SEVEN_MOST = 2.0


def seven(build, other, data, spawn, pairs):
    doubts = "--doubts" in sys.argv
    files = {"7.0": os.path.join(data, "bench-100mb-7-linked.ged" if doubts else "bench-100mb-7.ged"),
             "5.5": os.path.join(data, "bench-100mb-linked.ged")}
    flags = ["-v"] if doubts else ["-v", "--no-doubts"]
    builds = {"then": other, "now": build, "again": build}
    jobs = [(side, version) for side in builds for version in files]

    def argv(job):
        return [program(builds[job[0]], "lineagecheck")] + flags + [files[job[1]]]

    for job in jobs:
        run_once(spawn, argv(job), os.devnull)
    with open("/proc/loadavg") as f:
        print(f"{' '.join(flags)}: {os.path.basename(files['7.0'])} over {os.path.basename(files['5.5'])}, "
              f"{pairs} rounds; now {build}, then {other}; load at start {' '.join(f.read().split()[:3])}")
    cpu = {job: [] for job in jobs}
    for k in range(pairs):
        for job in jobs if k % 2 == 0 else reversed(jobs):
            cpu[job].append(run_once(spawn, argv(job), os.devnull)[0])
    ratios = {side: paired_ratio(cpu[(side, "7.0")], cpu[(side, "5.5")]) for side in builds}
    for side in builds:
        print(f"{side:<6} 7.0 {statistics.median(cpu[(side, '7.0')]):.3f} s, 5.5 "
              f"{statistics.median(cpu[(side, '5.5')]):.3f} s, 7.0/5.5 {ratios[side]:.3f}")
    print(f"now/then on the 7.0 file {paired_ratio(cpu[('now', '7.0')], cpu[('then', '7.0')]):.3f}; self "
          f"(again/now) 7.0 {paired_ratio(cpu[('again', '7.0')], cpu[('now', '7.0')]):.3f}, "
          f"5.5 {paired_ratio(cpu[('again', '5.5')], cpu[('now', '5.5')]):.3f}")
    with open("/proc/loadavg") as f:
        print(f"load at end {' '.join(f.read().split()[:3])}")
    missed = [f"7.0/5.5 {ratios['now']:.2f}x, aim {SEVEN_MOST}x"] if ratios["now"] > SEVEN_MOST else []
    return verdict(missed, "Aim missed (CPU time): ", "", "Aim met.")


def main():
    if len(sys.argv) < 4:
        raise SystemExit(__doc__)
    build, other, data = sys.argv[1:4]
    pairs = int(option("--pairs", "9"))
    spawn = option("--spawn", os.path.join(build, "bench-spawn"))
    if "--seven" in sys.argv:
        return seven(build, other, data, spawn, pairs)
    move = option("--move", os.path.join(build, "bench-move"))
    path = charsets.make_forms(data, option("--size", "100"))["utf8"]
    out = os.path.join(data, "paired.out")
    now, then = commands(build, path), commands(other, path)
    sizes = {}
    for (name, a), (_, b) in zip(now, then):
        run_once(spawn, b, out)
        run_once(spawn, a, out)
        sizes[name] = os.path.getsize(out)
    floor = floors(path, move, sizes)
    for _, argv in floor:
        run_once(spawn, argv, out)
    with open("/proc/loadavg") as f:
        print(f"{os.path.basename(path)}, {pairs} rounds; now {build}, then {other}; "
              f"load at start {' '.join(f.read().split()[:3])}")
    cpu, peak = rounds(spawn, now, then, floor, out, pairs)
    missed = report(now, cpu, peak)
    os.remove(out)
    return verdict(missed, "Aims missed (CPU time):\n  ", "\n  ", "Every aim met.")


if __name__ == "__main__":
    sys.exit(main())
