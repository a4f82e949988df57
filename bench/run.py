#!/usr/bin/env python3
"""Times the suite's GEDCOM readers against the floors of the machine.

usage: run.py BUILD_DIR DATA_DIR [--runs N] [--sizes 10,100] [--spawn PATH]

For each generated file it runs wc -l, cat FILE > /dev/null and cat FILE > copy as
floors, lineagehtml with each flag and lineagecheck -s. Then, against wc -l on the same
files, lineagecheck -v on a sound file of the same size (bench-SIZEmb-linked.ged, which
it finds nothing in) and on the random one (whose links are nearly all one-way, so that
it finds about a million problems in 100 MB and writes a line for each). Then -v on the
GEDCOM 7.0 file of the same size (bench-SIZEmb-7.ged) paired with -v on the sound one: at most
2x its time, peak memory under 64 MiB plus 100 bytes a record, and no finding. Every command
runs once to warm the page cache, then N rounds in which each command runs once, so a
change in the machine's load falls on all commands alike. It prints the medians of the wall
time and of the CPU time (user + system), the throughput in MB/s, the ratios to the
floors, and the largest peak resident memory seen.

The targets are judged on wall time, as a user sees it. On a shared machine the CPU
ratios are the steadier figure: they do not count the time spent waiting for a core.
"""
import os
import statistics
import subprocess
import sys

MIB = 1024 * 1024
MEMORY_LIMIT_KIB = 64 * 1024
TARGETS = [("lineagecheck -s", "wc -l"), ("lineagehtml -s", "wc -l"),
           ("lineagehtml -i", "cat > copy"), ("lineagehtml -f", "cat > copy")]
VERIFY_TARGETS = [("lineagecheck -v", "wc -l")]
# lineagecheck -v keeps every record and link of a file until its end.
VERIFY_MEMORY_FIXED_KIB = 64 * 1024
# --private reads the file twice: within 2x of the same report without it.
PRIVATE_TARGETS = [(f"lineagehtml --private -{flag}", f"lineagehtml -{flag}") for flag in "ift"]


def option(name, default):
    return sys.argv[sys.argv.index(name) + 1] if name in sys.argv else default


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def verdict(missed, heading, between, met):
    """Prints what missed its target, or `met` when nothing did; the exit status to give."""
    if missed:
        print(heading + between.join(missed))
        return 1
    print(met)
    return 0


def run_once(spawn, argv, out_path):
    """Wall seconds, CPU seconds and peak RSS in KiB of one run, from the launcher."""
    res = subprocess.run([spawn, out_path] + argv, capture_output=True, text=True, check=True)
    wall, user, system, rss, status = res.stdout.split()
    # lineagecheck -v tells with status 1 that it found problems.
    if int(status) != 0 and not (int(status) == 1 and "-v" in argv):
        raise SystemExit(f"{' '.join(argv)} exited with status {status}")
    return float(wall), float(user) + float(system), int(rss)


def cases_for(path, html, check, copy):
    return [
        ("wc -l", ["wc", "-l", path], os.devnull),
        ("cat > /dev/null", ["cat", path], os.devnull),
        ("cat > copy", ["cat", path], copy),
        ("lineagehtml -i", [html, "-i", path], copy),
        ("lineagehtml -f", [html, "-f", path], copy),
        ("lineagehtml -s", [html, "-s", path], copy),
        ("lineagehtml -t", [html, "-t", path], copy),
        ("lineagehtml --private -i", [html, "--private", "-i", path], copy),
        ("lineagehtml --private -f", [html, "--private", "-f", path], copy),
        ("lineagehtml --private -t", [html, "--private", "-t", path], copy),
        ("lineagecheck -s", [check, "-s", path], copy),
    ]


def verify_cases(path, linked, check):
    return [
        ("wc -l", ["wc", "-l", linked], os.devnull),
        ("lineagecheck -v", [check, "-v", linked], os.devnull),
        ("-v, random links", [check, "-v", path], os.devnull),
    ]


def bench_file(path, cases, spawn, runs):
    walls = {name: [] for name, _, _ in cases}
    cpus = {name: [] for name, _, _ in cases}
    peaks = {name: 0 for name, _, _ in cases}
    for name, argv, out in cases:
        run_once(spawn, argv, out)
        # A program that only printed an apology would look very fast.
        if out != os.devnull:
            with open(out, "rb") as f:
                if b"Sorry" in f.read(200):
                    raise SystemExit(f"{name} refused {path}")
    for _ in range(runs):
        for name, argv, out in cases:
            wall, cpu, rss = run_once(spawn, argv, out)
            walls[name].append(wall)
            cpus[name].append(cpu)
            peaks[name] = max(peaks[name], rss)
    wall = {n: statistics.median(v) for n, v in walls.items()}
    cpu = {n: statistics.median(v) for n, v in cpus.items()}
    return wall, cpu, peaks


def ratio(a, b):
    return a / b if b > 0 else float("inf")


def report(path, runs, cases, wall, cpu, peaks):
    mb = os.path.getsize(path) / MIB
    print(f"\n{os.path.basename(path)}: {mb:.1f} MB, median of {runs} runs")
    print(f"{'command':<26} {'wall s':>7} {'MB/s':>7} {'x wc':>6} {'x copy':>7}"
          f" {'CPU s':>7} {'x wc':>6} {'x copy':>7} {'peak RSS':>12}")
    for name, _, _ in cases:
        print(f"{name:<26} {wall[name]:7.3f} {mb / wall[name]:7.0f}"
              f" {ratio(wall[name], wall['wc -l']):6.2f} {ratio(wall[name], wall['cat > copy']):7.2f}"
              f" {cpu[name]:7.3f} {ratio(cpu[name], cpu['wc -l']):6.2f}"
              f" {ratio(cpu[name], cpu['cat > copy']):7.2f} {peaks[name] / 1024:8.1f} MiB")


def report_verify(path, linked, runs, cases, wall, cpu, peaks):
    mb = os.path.getsize(linked) / MIB
    print(f"\n{os.path.basename(linked)}: {mb:.1f} MB, and for the random links "
          f"{os.path.basename(path)}, median of {runs} runs")
    print(f"{'command':<17} {'wall s':>7} {'MB/s':>7} {'x wc':>6} {'CPU s':>7} {'x wc':>6} {'peak RSS':>12}")
    for name, _, _ in cases:
        print(f"{name:<17} {wall[name]:7.3f} {mb / wall[name]:7.0f} {ratio(wall[name], wall['wc -l']):6.2f}"
              f" {cpu[name]:7.3f} {ratio(cpu[name], cpu['wc -l']):6.2f} {peaks[name] / 1024:8.1f} MiB")


def too_slow(targets, size, wall, cpu, most=3):
    found = []
    for name, floor in targets:
        r = ratio(wall[name], wall[floor])
        if r > most:
            found.append(f"{name} on {size} MB: {r:.2f}x {floor} (CPU time: "
                         f"{ratio(cpu[name], cpu[floor]):.2f}x)")
    return found


def missed_verify(size, linked, wall, cpu, peaks):
    found = []
    limit = VERIFY_MEMORY_FIXED_KIB + os.path.getsize(linked) / 10 / 1024
    if peaks["lineagecheck -v"] >= limit:
        found.append(f"lineagecheck -v on {size} MB: peak memory {peaks['lineagecheck -v'] / 1024:.1f} MiB, "
                     f"limit {limit / 1024:.1f} MiB")
    return found + too_slow(VERIFY_TARGETS, size, wall, cpu)


def missed(size, wall, cpu, peaks):
    found = []
    for name, peak in peaks.items():
        if name.startswith("linea") and peak >= MEMORY_LIMIT_KIB:
            found.append(f"{name} on {size} MB: peak memory {peak / 1024:.1f} MiB")
    return found + too_slow(TARGETS, size, wall, cpu) + too_slow(PRIVATE_TARGETS, size, wall, cpu, most=2)


# GEDCOM 7.0: -v on the generated 7.0 file within 2x of -v on the sound 5.5 file of the same size,
# paired round by round, and its peak memory within a constant and 100 bytes a record.
SEVEN_MOST = 2
SEVEN_MEMORY_FIXED_KIB = 64 * 1024
SEVEN_BYTES_A_RECORD = 100
# What -v says of a SNOTE record when it judges a 7.0 file by the rules of 5.5.
FIVE_RULES_SIGN = "SNOTE is not a kind of record"


def paired_rounds(spawn, runs, first, second):
    """Wall, CPU and peak of two commands, warmed once, then in rounds whose order turns every
    other round; the ratios second/first of each round."""
    for argv in (first, second):
        run_once(spawn, argv, os.devnull)
    ratios = {"wall": [], "cpu": []}
    peaks = [0, 0]
    for i in range(runs):
        order = (0, 1) if i % 2 == 0 else (1, 0)
        got = {}
        for k in order:
            got[k] = run_once(spawn, (first, second)[k], os.devnull)
            peaks[k] = max(peaks[k], got[k][2])
        ratios["wall"].append(ratio(got[1][0], got[0][0]))
        ratios["cpu"].append(ratio(got[1][1], got[0][1]))
    return {k: statistics.median(v) for k, v in ratios.items()}, peaks


def records_in(path):
    count = 0
    with open(path, "rb") as f:
        for line in f:
            count += line.startswith(b"0 @")
    return count


def bench_seven(size, linked, seven, check, spawn, runs):
    """Prints the pair and returns the targets missed."""
    # The rules of the two versions, timed without the doubts: those are timed apart (doubts.py),
    # and this file's random dates would give a million of them.
    five_argv, seven_argv = [check, "-v", linked], [check, "-v", seven]
    ratios, peaks = paired_rounds(spawn, runs, [check, "-v", "--no-doubts", linked],
                                  [check, "-v", "--no-doubts", seven])
    records = records_in(seven)
    limit = SEVEN_MEMORY_FIXED_KIB + SEVEN_BYTES_A_RECORD * records / 1024
    said = subprocess.run(seven_argv, capture_output=True, text=True)
    # Its status is its verdict; with nothing found it says so in one line.
    findings = said.stdout.count("\n") if said.returncode != 0 else 0
    print(f"\n{os.path.basename(seven)}: {os.path.getsize(seven) / MIB:.1f} MB, {records} records, "
          f"against {os.path.basename(linked)}, {runs} pairs")
    print(f"lineagecheck -v --no-doubts 7.0 / 5.5: wall {ratios['wall']:.2f}x, CPU {ratios['cpu']:.2f}x; peak RSS "
          f"{peaks[1] / 1024:.1f} MiB (5.5: {peaks[0] / 1024:.1f} MiB), limit {limit / 1024:.1f} MiB; "
          f"status {said.returncode}, {findings} findings")
    found = []
    if ratios["wall"] > SEVEN_MOST:
        found.append(f"lineagecheck -v on the {size} MB 7.0 file: {ratios['wall']:.2f}x the 5.5 file "
                     f"(CPU time: {ratios['cpu']:.2f}x)")
    if peaks[1] >= limit:
        found.append(f"lineagecheck -v on the {size} MB 7.0 file: peak memory {peaks[1] / 1024:.1f} MiB, "
                     f"limit {limit / 1024:.1f} MiB")
    if FIVE_RULES_SIGN in said.stdout:
        print("  judged by the rules of 5.5 (this lineagecheck has no 7.0 rules): its findings not gated")
    elif said.returncode != 0:
        found.append(f"lineagecheck -v finds the {size} MB 7.0 file unsound: status {said.returncode}, "
                     f"{findings} findings")
    return found


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    build, data = sys.argv[1], sys.argv[2]
    runs = int(option("--runs", "5"))
    sizes = option("--sizes", "10,100").split(",")
    spawn = option("--spawn", os.path.join(build, "bench-spawn"))
    html = os.path.join(build, "report", "lineagehtml")
    check = os.path.join(build, "verify", "lineagecheck")
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(data, exist_ok=True)
    print(f"load average at start: {load()} on {os.cpu_count()} cores")
    failures = []
    for size in sizes:
        path = os.path.join(data, f"bench-{size}mb.ged")
        if not os.path.exists(path):
            subprocess.run([sys.executable, os.path.join(here, "gen_gedcom.py"), size, path], check=True)
        copy = os.path.join(data, "copy.out")
        cases = cases_for(path, html, check, copy)
        wall, cpu, peaks = bench_file(path, cases, spawn, runs)
        report(path, runs, cases, wall, cpu, peaks)
        failures += missed(size, wall, cpu, peaks)
        os.remove(copy)
        linked = os.path.join(data, f"bench-{size}mb-linked.ged")
        if not os.path.exists(linked):
            subprocess.run([sys.executable, os.path.join(here, "gen_gedcom.py"), size, linked, "--linked"],
                           check=True)
        cases = verify_cases(path, linked, check)
        wall, cpu, peaks = bench_file(linked, cases, spawn, runs)
        report_verify(path, linked, runs, cases, wall, cpu, peaks)
        failures += missed_verify(size, linked, wall, cpu, peaks)
        seven = os.path.join(data, f"bench-{size}mb-7.ged")
        if not os.path.exists(seven):
            subprocess.run([sys.executable, os.path.join(here, "gen_gedcom.py"), size, seven, "--seven"],
                           check=True)
        failures += bench_seven(size, linked, seven, check, spawn, runs)
    print(f"\nload average at end: {load()}")
    return verdict(failures, "Targets missed (wall time):\n  ", "\n  ",
                   "All targets met: within 3x of the floors, peak memory below 64 MiB "
                   "(lineagecheck -v: plus a tenth of the file's size; on 7.0 within 2x of 5.5).")


if __name__ == "__main__":
    sys.exit(main())
