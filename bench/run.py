#!/usr/bin/env python3
"""Times the suite's GEDCOM readers against the floors of the machine.

usage: run.py BUILD_DIR DATA_DIR [--runs N] [--sizes 10,100]

For each generated file it runs, as medians of N runs: wc -l, cat FILE > /dev/null
and cat FILE > copy as floors, lineagehtml with each flag and lineagecheck -s.
It prints throughput in MB/s, the ratio to the floors and the peak resident
memory of each program (from wait4, so the shell is not counted).
"""
import os
import statistics
import subprocess
import sys
import time


def run_once(argv, out_path):
    with open(out_path, "wb") as out:
        start = time.perf_counter()
        proc = subprocess.Popen(argv, stdout=out, stderr=subprocess.DEVNULL)
        _, status, usage = os.wait4(proc.pid, 0)
        elapsed = time.perf_counter() - start
    proc.returncode = status
    return elapsed, usage.ru_maxrss  # KiB on Linux


def measure(argv, out_path, runs):
    times, peaks = [], []
    for _ in range(runs):
        t, rss = run_once(argv, out_path)
        times.append(t)
        peaks.append(rss)
    return statistics.median(times), max(peaks)


def main():
    build, data = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[sys.argv.index("--runs") + 1]) if "--runs" in sys.argv else 5
    sizes = sys.argv[sys.argv.index("--sizes") + 1] if "--sizes" in sys.argv else "10,100"
    html = os.path.join(build, "report", "lineagehtml")
    check = os.path.join(build, "verify", "lineagecheck")
    here = os.path.dirname(os.path.abspath(__file__))
    os.makedirs(data, exist_ok=True)
    failures = []
    for size in sizes.split(","):
        path = os.path.join(data, f"bench-{size}mb.ged")
        if not os.path.exists(path):
            subprocess.run([sys.executable, os.path.join(here, "gen_gedcom.py"), size, path], check=True)
        mb = os.path.getsize(path) / (1024 * 1024)
        copy = os.path.join(data, "copy.out")
        cases = [
            ("wc -l", ["wc", "-l", path], os.devnull),
            ("cat > /dev/null", ["cat", path], os.devnull),
            ("cat > copy", ["cat", path], copy),
            ("lineagehtml -i", [html, "-i", path], copy),
            ("lineagehtml -f", [html, "-f", path], copy),
            ("lineagehtml -s", [html, "-s", path], copy),
            ("lineagehtml -t", [html, "-t", path], copy),
            ("lineagecheck -s", [check, "-s", path], copy),
        ]
        results = {}
        print(f"\n{os.path.basename(path)}: {mb:.1f} MB, median of {runs} runs")
        print(f"{'command':<18} {'seconds':>8} {'MB/s':>8} {'x wc -l':>8} {'x cat>copy':>10} {'peak RSS':>10}")
        for name, argv, out in cases:
            t, rss = measure(argv, out, runs)
            results[name] = t
            wc = t / results["wc -l"]
            cp = t / results["cat > copy"] if "cat > copy" in results else float("nan")
            print(f"{name:<18} {t:8.3f} {mb / t:8.1f} {wc:8.2f} {cp:10.2f} {rss / 1024:8.1f} MiB")
            if name.startswith("linea") and rss > 64 * 1024:
                failures.append(f"{name} on {size} MB: peak memory {rss / 1024:.1f} MiB")
        for name, floor in [("lineagecheck -s", "wc -l"), ("lineagehtml -s", "wc -l"),
                            ("lineagehtml -i", "cat > copy"), ("lineagehtml -f", "cat > copy")]:
            ratio = results[name] / results[floor]
            if ratio > 3:
                failures.append(f"{name} on {size} MB: {ratio:.2f}x {floor}")
        os.remove(copy)
    print()
    if failures:
        print("Targets missed:")
        for f in failures:
            print("  " + f)
        return 1
    print("All targets met: within 3x of the floors, peak memory below 64 MiB.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
