#!/usr/bin/env python3
"""Times lineagetree on a large GEDCOM file.

usage: tree.py BUILD_DIR GEDFILE [--runs N]

With the file's last individual in focus it measures, as medians of N runs:
- lineagetree --print against wc -l on the same file (wall and CPU time, peak memory),
  interleaved after a warm-up run, each started by bench-spawn;
- where DISPLAY is set (run it under xvfb-run): the time from the start of the program to
  its first full paint (the focused person's frame drawn), the peak memory of the window's
  process, and the time of a focus move: from a synthetic click on the father's name, or on
  Back, until the title has changed. The title is set after the new tree is drawn, and the
  server handles requests in order, so a changed title means a painted tree.
Targets: --print within 3x of wc -l; first paint under 300 ms; a focus move under 20 ms;
peak memory under the file's size plus 32 MiB.
"""
import ctypes
import ctypes.util
import os
import re
import statistics
import subprocess
import sys
import time

from run import load, run_once, option, verdict  # noqa: E402  (bench/run.py, beside this file)
from xlib import load_xlib  # noqa: E402

MIB = 1024 * 1024
FOCUS_FRAME = (48, 184)        # top left corner of the focused person's frame
FATHER_NAME = (287 + 3, 121 - 3)  # inside the father's name button
BACK = (10 + 3, 70 - 3)


def last_individual(path):
    last = None
    with open(path, "rb") as f:
        for line in f:
            m = re.match(rb"0 @I(\w+)@ INDI", line)
            if m:
                last = m.group(1).decode()
    return last


def bench_print(build, path, number, runs):
    spawn = os.path.join(build, "bench-spawn")
    tree = os.path.join(build, "viewer", "lineagetree")
    cases = {"wc -l": ["wc", "-l", path], "lineagetree --print": [tree, "--print", path, number]}
    for argv in cases.values():
        run_once(spawn, argv, os.devnull)
    wall = {n: [] for n in cases}
    cpu = {n: [] for n in cases}
    peak = {n: 0 for n in cases}
    for _ in range(runs):
        for name, argv in cases.items():
            w, c, rss = run_once(spawn, argv, os.devnull)
            wall[name].append(w)
            cpu[name].append(c)
            peak[name] = max(peak[name], rss)
    w = {n: statistics.median(v) for n, v in wall.items()}
    c = {n: statistics.median(v) for n, v in cpu.items()}
    for name in cases:
        print(f"{name:<20} wall {w[name] * 1000:7.1f} ms   CPU {c[name] * 1000:7.1f} ms"
              f"   peak {peak[name] / 1024:6.1f} MiB")
    ratio = w["lineagetree --print"] / w["wc -l"]
    cpu_ratio = c["lineagetree --print"] / c["wc -l"] if c["wc -l"] > 0 else float("inf")
    print(f"lineagetree --print / wc -l: {ratio:.2f}x wall, {cpu_ratio:.2f}x CPU")
    return ratio, peak["lineagetree --print"] * 1024


class X:
    def __init__(self):
        self.x = load_xlib()
        self.t = ctypes.CDLL(ctypes.util.find_library("Xtst"))
        x = self.x
        x.XFetchName.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.POINTER(ctypes.c_char_p)]
        x.XFlush.argtypes = [ctypes.c_void_p]
        x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        x.XDefaultRootWindow.restype = ctypes.c_ulong
        x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        x.XTranslateCoordinates.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong,
                                            ctypes.c_int, ctypes.c_int,
                                            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
                                            ctypes.POINTER(ctypes.c_ulong)]
        self.t.XTestFakeMotionEvent.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                                ctypes.c_int, ctypes.c_ulong]
        self.t.XTestFakeButtonEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int,
                                                ctypes.c_ulong]
        self.handler = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
        x.XSetErrorHandler.argtypes = [ctypes.c_void_p]
        x.XSetErrorHandler(ctypes.cast(self.handler, ctypes.c_void_p))
        self.d = x.XOpenDisplay(None)

    def pixel(self, win, x, y):
        img = self.x.XGetImage(self.d, win, x, y, 1, 1, 0xFFFFFFFF, 2)
        return self.x.XGetPixel(img, 0, 0) & 0xFFFFFF if img else None

    def title(self, win):
        name = ctypes.c_char_p()
        if not self.x.XFetchName(self.d, win, ctypes.byref(name)) or not name.value:
            return ""
        return name.value.decode("utf-8", "replace")

    def click(self, win, x, y):
        rx, ry, child = ctypes.c_int(), ctypes.c_int(), ctypes.c_ulong()
        self.x.XTranslateCoordinates(self.d, win, self.x.XDefaultRootWindow(self.d), x, y,
                                     ctypes.byref(rx), ctypes.byref(ry), ctypes.byref(child))
        self.t.XTestFakeMotionEvent(self.d, -1, rx.value, ry.value, 0)
        self.t.XTestFakeButtonEvent(self.d, 1, 1, 0)
        self.t.XTestFakeButtonEvent(self.d, 1, 0, 0)
        self.x.XFlush(self.d)


def find_window(proc, deadline):
    while time.perf_counter() < deadline:
        if proc.poll() is not None:
            raise SystemExit(f"lineagetree ended with status {proc.returncode}")
        out = subprocess.run(["xdotool", "search", "--name", "^Family tree: "],
                             capture_output=True, text=True)
        if out.stdout.split():
            return int(out.stdout.split()[-1])
        time.sleep(0.002)
    raise SystemExit("no window within 120 s")


def wait_title_change(x, win, old, deadline):
    while time.perf_counter() < deadline:
        t = x.title(win)
        if t and t != old:
            return t
        time.sleep(0.0002)
    raise SystemExit("the title did not change")


def bench_window(build, path, number, runs):
    x = X()
    tree = os.path.abspath(os.path.join(build, "viewer", "lineagetree"))
    paints, moves, peaks = [], [], []
    for _ in range(runs):
        start = time.perf_counter()
        proc = subprocess.Popen([tree, os.path.basename(path), number], stdout=subprocess.DEVNULL,
                                cwd=os.path.dirname(os.path.abspath(path)))
        deadline = start + 120
        win = find_window(proc, deadline)
        while x.pixel(win, *FOCUS_FRAME) != 0 and time.perf_counter() < deadline:
            time.sleep(0.0005)
        paints.append(time.perf_counter() - start)
        title = x.title(win)
        time.sleep(0.2)
        for _ in range(10):
            for target in (FATHER_NAME, BACK):
                t0 = time.perf_counter()
                x.click(win, *target)
                title = wait_title_change(x, win, title, t0 + 10)
                moves.append(time.perf_counter() - t0)
        with open(f"/proc/{proc.pid}/status") as f:
            peaks.append(int(re.search(r"VmHWM:\s+(\d+)", f.read()).group(1)) * 1024)
        proc.kill()
        proc.wait()
    print(f"first full paint: median {statistics.median(paints) * 1000:.0f} ms of {runs}"
          f" (all: {', '.join(f'{p * 1000:.0f}' for p in paints)} ms)")
    print(f"focus move: median {statistics.median(moves) * 1000:.1f} ms of {len(moves)},"
          f" slowest {max(moves) * 1000:.1f} ms")
    print(f"window's peak memory: {max(peaks) / MIB:.1f} MiB")
    return statistics.median(paints), statistics.median(moves), max(peaks)


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    build, path = sys.argv[1], sys.argv[2]
    runs = int(option("--runs", "5"))
    number = last_individual(path)
    size = os.path.getsize(path)
    print(f"lineagetree on {os.path.basename(path)} ({size / MIB:.1f} MiB), person @I{number}@,"
          f" load average {load()} on {os.cpu_count()} cores")
    missed = []
    ratio, peak = bench_print(build, path, number, runs)
    if ratio > 3:
        missed.append(f"--print at {ratio:.2f}x wc -l")
    if os.environ.get("DISPLAY"):
        paint, move, window_peak = bench_window(build, path, number, runs)
        peak = max(peak, window_peak)
        if paint > 0.3:
            missed.append(f"first paint {paint * 1000:.0f} ms")
        if move > 0.02:
            missed.append(f"focus move {move * 1000:.1f} ms")
    else:
        print("no DISPLAY: the window's paint and focus moves not measured")
    if peak > size + 32 * MIB:
        missed.append(f"peak memory {peak / MIB:.1f} MiB")
    print(f"load average at end: {load()}")
    return verdict(missed, "Targets missed: ", "; ", "All lineagetree targets met.")


if __name__ == "__main__":
    sys.exit(main())
