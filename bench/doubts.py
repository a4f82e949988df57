#!/usr/bin/env python3
"""lineagecheck -v with doubts against -v --no-doubts on one file, in pairs of runs:
   bench/doubts.py PROGRAM FILE [--runs N]
The gate: with doubts at most 1.5 times the time of the paired run without, and peak memory
under 64 MiB plus 64 bytes a person. Exit status 1 when a gate is missed."""
import os
import subprocess
import sys
import time


def timed(args):
    start = time.perf_counter()
    with open(os.devnull, "wb") as out:
        proc = subprocess.Popen(args, stdout=out)
        _, _, usage = os.wait4(proc.pid, 0)
    return time.perf_counter() - start, usage.ru_maxrss * 1024


def people_in(path):
    n = 0
    with open(path, "rb") as f:
        for line in f:
            n += line.startswith(b"0 @") and line.rstrip().endswith(b" INDI")
    return n


def main():
    program, path = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[sys.argv.index("--runs") + 1]) if "--runs" in sys.argv else 3
    with_doubts, without, peak = [], [], 0
    timed([program, "-v", path])  # warm-up
    for _ in range(runs):
        t, m = timed([program, "-v", path])
        with_doubts.append(t)
        peak = max(peak, m)
        without.append(timed([program, "-v", "--no-doubts", path])[0])
    ratio = min(a / b for a, b in zip(with_doubts, without))
    people = people_in(path)
    limit = 64 * 2**20 + 64 * people
    print(f"lineagecheck -v on {path}: {min(with_doubts):.2f} s with doubts, {min(without):.2f} s without "
          f"(paired ratio {ratio:.2f}, gate 1.5); peak {peak / 2**20:.1f} MiB "
          f"(gate {limit / 2**20:.1f} MiB for {people} people)")
    return 0 if ratio <= 1.5 and peak < limit else 1


if __name__ == "__main__":
    sys.exit(main())
