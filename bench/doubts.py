#!/usr/bin/env python3
"""lineagecheck -v with doubts against -v --no-doubts on one file, in pairs of runs:
   bench/doubts.py PROGRAM FILE [--runs N] [--stress FILE] [--big FILE]
FILE is the linked file, whose dates agree with its links but for a few planted faults, as a
genealogist's file has few doubts. The gates: with doubts at most 1.5 times the CPU time of
the paired run without (the median of the pairs' ratios), and peak memory under 64 MiB plus
64 bytes a person. --stress FILE pairs the same on a file of random dates (gen_gedcom.py
--linked --random-dates, a doubt on nearly every birth): its time is reported, its memory
gated. --big FILE times -v with doubts on a file about five times FILE's size, paired round by
round with FILE: at most 5.5 times its time; its memory is reported, not gated, as -v's own
tables (without doubts) already pass 64 bytes a person there. Each pair runs in turned order
every other round. Exit status 1 when a gate is missed."""
import os
import statistics
import subprocess
import sys


def timed(args):
    """CPU seconds (user and system) and peak resident bytes of one run."""
    with open(os.devnull, "wb") as out:
        proc = subprocess.Popen(args, stdout=out)
        _, _, usage = os.wait4(proc.pid, 0)
    return usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024


def people_in(path):
    n = 0
    with open(path, "rb") as f:
        for line in f:
            n += line.startswith(b"0 @") and line.rstrip().endswith(b" INDI")
    return n


def pairs(first, second, runs):
    """Medians of each command's CPU time, the median of the rounds' ratios second/first, and
    each command's peak memory."""
    timed(first)  # warm-up
    timed(second)
    a, b, peaks = [], [], [0, 0]
    for k in range(runs):
        order = [(first, a, 0), (second, b, 1)]
        for args, times, i in order if k % 2 == 0 else reversed(order):
            t, m = timed(args)
            times.append(t)
            peaks[i] = max(peaks[i], m)
    ratio = statistics.median(y / x for x, y in zip(a, b))
    return statistics.median(a), statistics.median(b), ratio, peaks


def memory_gate(path, peak):
    people = people_in(path)
    limit = 64 * 2**20 + 64 * people
    return peak < limit, f"peak {peak / 2**20:.1f} MiB (gate {limit / 2**20:.1f} MiB for {people} people)"


def doubts_of(program, path):
    """The last line of -v, which counts the doubts."""
    res = subprocess.run([program, "-v", path], capture_output=True, text=True, errors="replace")
    return res.stdout.rstrip("\n").rsplit("\n", 1)[-1]


def paired_doubts(program, path, runs, time_gated):
    without, with_doubts, ratio, peaks = pairs([program, "-v", "--no-doubts", path], [program, "-v", path], runs)
    ok, memory = memory_gate(path, peaks[1])
    gate = ", gate 1.5" if time_gated else ", not gated"
    print(f"lineagecheck -v on {path}: {with_doubts:.2f} s CPU with doubts, {without:.2f} s without "
          f"(median paired ratio {ratio:.2f}{gate}); {memory}\n  {doubts_of(program, path)}")
    return ok and (ratio <= 1.5 or not time_gated), with_doubts


def option(name):
    return sys.argv[sys.argv.index(name) + 1] if name in sys.argv else None


def main():
    program, path = sys.argv[1], sys.argv[2]
    runs = int(option("--runs") or 5)
    print(f"load: {os.getloadavg()[0]:.1f}")
    ok, _ = paired_doubts(program, path, runs, True)
    if option("--stress"):
        stress_ok, _ = paired_doubts(program, option("--stress"), runs, False)
        ok = ok and stress_ok
    if option("--big"):
        big = option("--big")
        small_time, big_time, ratio, peaks = pairs([program, "-v", path], [program, "-v", big], runs)
        size = os.path.getsize(big) / os.path.getsize(path)
        print(f"lineagecheck -v on {big} ({size:.2f} times the size): {big_time:.2f} s CPU against "
              f"{small_time:.2f} s (median paired ratio {ratio:.2f}, gate 5.5); peak {peaks[1] / 2**20:.1f} MiB, "
              f"not gated\n  {doubts_of(program, big)}")
        ok = ok and ratio <= 5.5
    print(f"load: {os.getloadavg()[0]:.1f}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
