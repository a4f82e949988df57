#!/usr/bin/env python3
"""Times lineagesite writing a whole site, against cp -r of the site it wrote.

usage: site.py BUILD_DIR GEDFILE [SMALL_GEDFILE] [--keep]

In one run, on one disk (a folder beside the build): the first run into an empty folder,
cp -r of the finished site to another folder, and a second run into the first folder,
which must write nothing. Targets: the first run under 30 s and 512 MiB, at most 2x the
copy, the second run no slower than the first; SMALL_GEDFILE (Queen.ged) under 0.5 s, its
best of three runs into new folders. Wall time is judged, as a user waits; the CPU time
(user + system) and the load are printed beside it, the steadier figures on a shared machine.
Deleting a large tree slows the creation of files on ext4 for minutes after (the system
passes over the inodes freed a moment ago): run it when nothing has just removed a site,
and with --keep, which leaves the sites in BUILD_DIR/site-bench, to time two builds in a row.
"""
import os
import shutil
import subprocess
import sys
import time

from run import verdict

MIB = 1024 * 1024


def timed(argv):
    """Wall time, CPU time and peak memory of one run of argv, which must succeed."""
    start = time.monotonic()
    proc = subprocess.Popen(argv, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.monotonic() - start
    if status != 0:
        raise SystemExit(f"{' '.join(argv)} failed: {proc.stderr.read().decode()}")
    return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def newest_change(folder):
    return max(os.lstat(os.path.join(d, f)).st_mtime_ns for d, _, fs in os.walk(folder) for f in fs)


def main():
    keep = "--keep" in sys.argv
    if keep:
        sys.argv.remove("--keep")
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    program = os.path.join(sys.argv[1], "site", "lineagesite")
    work = os.path.join(sys.argv[1], "site-bench")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    os.environ["SOURCE_DATE_EPOCH"] = "1780000000"
    site, copy = os.path.join(work, "site"), os.path.join(work, "copy")
    failed = []
    print(f"load {load()}")
    first, first_cpu, rss = timed([program, sys.argv[2], site])
    copied, copied_cpu, _ = timed(["cp", "-r", site, copy])
    written = newest_change(site)
    again, again_cpu, _ = timed([program, sys.argv[2], site])
    files = sum(len(fs) for _, _, fs in os.walk(site))
    print(f"lineagesite {os.path.basename(sys.argv[2])}: {files} files, first run {first:.2f} s "
          f"(CPU {first_cpu:.2f} s, {rss / MIB:.0f} MiB), cp -r {copied:.2f} s (CPU {copied_cpu:.2f} s), "
          f"second run {again:.2f} s (CPU {again_cpu:.2f} s)")
    print(f"first run / cp -r: {first / copied:.2f}x wall, {first_cpu / copied_cpu:.2f}x CPU; "
          f"second / first: {again / first:.2f}x wall")
    if first > 30 or rss > 512 * MIB:
        failed.append("the first run takes over 30 s or 512 MiB")
    if first > 2 * copied:
        failed.append("the first run takes over twice the copy")
    if again > first:
        failed.append("the second run is slower than the first")
    if newest_change(site) != written:
        failed.append("the second run wrote files")
    if len(sys.argv) > 3:
        runs = [timed([program, sys.argv[3], os.path.join(work, f"small-{n}")]) for n in range(3)]
        small, small_cpu, _ = min(runs)
        print(f"lineagesite {os.path.basename(sys.argv[3])}: {small:.2f} s (CPU {small_cpu:.2f} s), best of 3")
        if small > 0.5:
            failed.append(f"{os.path.basename(sys.argv[3])} takes over 0.5 s")
    print(f"load {load()}")
    if not keep:
        shutil.rmtree(work, ignore_errors=True)
    return verdict(failed, "FAILED: ", "\nFAILED: ", "All of the site's targets met.")


if __name__ == "__main__":
    sys.exit(main())
