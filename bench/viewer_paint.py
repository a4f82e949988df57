#!/usr/bin/env python3
"""Times personview from its start to its first full paint.

usage: viewer_paint.py PERSONVIEW GEDFILE NUMBER [--runs N]

Needs a display (run it under xvfb-run). The first full paint is taken to be the
moment the name entry's field turns white: the window is mapped before the scan,
but its widgets are painted only once the event loop starts after the scan.
"""
import ctypes
import os
import statistics
import subprocess
import sys
import time

from xlib import load_xlib

xlib = load_xlib()
xlib.XDestroyImage = None  # a macro in Xlib; the few images leaked here do not matter
xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
xlib.XSetErrorHandler.argtypes = [ctypes.c_void_p]
ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda d, e: 0)
ALL_PLANES = 0xFFFFFFFF
Z_PIXMAP = 2
NAME_FIELD = (140, 32)  # inside the name entry at (125, 25)


def find_window(title, proc, deadline):
    while time.perf_counter() < deadline:
        if proc.poll() is not None:
            raise SystemExit(f"personview ended with status {proc.returncode} before its window appeared")
        out = subprocess.run(["xdotool", "search", "--name", title], capture_output=True, text=True)
        ids = out.stdout.split()
        if ids:
            return int(ids[-1])
        time.sleep(0.002)
    raise SystemExit("personview's window did not appear")


def first_paint(prog, ged, number):
    dpy = xlib.XOpenDisplay(None)
    xlib.XSetErrorHandler(ctypes.cast(ERROR_HANDLER, ctypes.c_void_p))
    start = time.perf_counter()
    # Run where the file is, as a user would, so that the path is the file's own name.
    proc = subprocess.Popen([prog, os.path.basename(ged), number], stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL, cwd=os.path.dirname(os.path.abspath(ged)))
    deadline = start + 120
    win = find_window("GEDCOM Individual", proc, deadline)
    while time.perf_counter() < deadline:
        img = xlib.XGetImage(dpy, win, NAME_FIELD[0], NAME_FIELD[1], 1, 1, ALL_PLANES, Z_PIXMAP)
        if img and xlib.XGetPixel(img, 0, 0) & 0xFFFFFF == 0xFFFFFF:
            elapsed = time.perf_counter() - start
            break
        time.sleep(0.001)
    else:
        proc.kill()
        raise SystemExit("no paint within 120 s")
    proc.kill()
    proc.wait()
    return elapsed


def main():
    prog, ged, number = sys.argv[1:4]
    runs = int(sys.argv[sys.argv.index("--runs") + 1]) if "--runs" in sys.argv else 5
    times = [first_paint(os.path.abspath(prog), ged, number) for _ in range(runs)]
    print(f"personview {os.path.basename(ged)} {number}: first full paint after "
          f"{statistics.median(times) * 1000:.0f} ms (median of {runs}; all: "
          + ", ".join(f"{t * 1000:.0f}" for t in times) + " ms)")


if __name__ == "__main__":
    main()
