#!/usr/bin/env python3
"""Times every GEDCOM reader on the same text in UTF-8, ANSEL and UTF-16, and a build of
before against the current one on the plain file.

usage: charsets.py BUILD_DIR DATA_DIR [--before OTHER_BUILD_DIR] [--runs N] [--size MB]

From DATA_DIR/bench-SIZEmb.ged (default 100; plain ASCII, as gen_gedcom.py writes it) it makes a copy
whose names carry letters beyond ASCII (Ł, ö, é, ß), in UTF-8, in ANSEL (with its marks
before their letters) and in UTF-16 LE with a mark. Each command runs once to warm the
page cache, then N interleaved rounds; the medians of CPU time (user + system) and wall
time are printed, with the ratio of each form to the UTF-8 file, and of the current
build to the one given with --before on the plain file.
"""
import os
import statistics
import subprocess
import sys

# Letters beyond ASCII put into the names, and their ANSEL bytes.
LETTERS = [("Smith", "Łukasiewicz", b"\xa1ukasiewicz"), ("Brown", "Öberg", b"\xe8Oberg"),
           ("Taylor", "Lefèvre", b"Lef\xe1evre"), ("Wilson", "Weiß", b"Wei\xc7")]


def option(name, default):
    return sys.argv[sys.argv.index(name) + 1] if name in sys.argv else default


def make_forms(data, size):
    plain = os.path.join(data, f"bench-{size}mb.ged")
    if not os.path.exists(plain):
        subprocess.run([sys.executable, os.path.join(os.path.dirname(__file__), "gen_gedcom.py"), size, plain],
                       check=True)
    forms = {"plain": plain}
    paths = {f: os.path.join(data, f"bench-{size}mb-{f}.ged") for f in ("utf8", "ansel", "utf16")}
    if all(os.path.exists(p) for p in paths.values()):
        forms.update(paths)
        return forms
    with open(plain, "rb") as f:
        text = f.read()
    utf8 = text.replace(b"1 CHAR ANSI", b"1 CHAR UTF-8")
    ansel = text.replace(b"1 CHAR UTF-8", b"1 CHAR ANSEL").replace(b"1 CHAR ANSI", b"1 CHAR ANSEL")
    for old, new, ansel_bytes in LETTERS:
        utf8 = utf8.replace(old.encode(), new.encode())
        ansel = ansel.replace(old.encode(), ansel_bytes)
    with open(paths["utf8"], "wb") as f:
        f.write(utf8)
    with open(paths["ansel"], "wb") as f:
        f.write(ansel)
    with open(paths["utf16"], "wb") as f:
        f.write(utf8.decode("utf-8").encode("utf-16"))
    forms.update(paths)
    return forms


def run_once(spawn, argv):
    res = subprocess.run([spawn, os.devnull] + argv, capture_output=True, text=True, check=True)
    wall, user, system, rss, status = res.stdout.split()
    return float(wall), float(user) + float(system), int(rss)


def commands(build, path):
    html = os.path.join(build, "report", "lineagehtml")
    check = os.path.join(build, "verify", "lineagecheck")
    tree = os.path.join(build, "viewer", "lineagetree")
    return [("lineagecheck -s", [check, "-s", path]),
            ("lineagehtml -s", [html, "-s", path]),
            ("lineagehtml -i", [html, "-i", path]),
            ("lineagehtml -f", [html, "-f", path]),
            ("lineagetree --print", [tree, "--print", path, "1"])]


def main():
    build, data = sys.argv[1], sys.argv[2]
    before = option("--before", None)
    runs = int(option("--runs", "5"))
    spawn = os.path.join(build, "bench-spawn")
    forms = make_forms(data, option("--size", "100"))
    cases = []
    for form in ("plain", "utf8", "ansel", "utf16"):
        for name, argv in commands(build, forms[form]):
            cases.append((form, name, argv))
    if before:
        for name, argv in commands(before, forms["plain"]):
            cases.append(("before", name, argv))
    for _, _, argv in cases:
        run_once(spawn, argv)
    cpu = {(f, n): [] for f, n, _ in cases}
    wall = {(f, n): [] for f, n, _ in cases}
    peak = {(f, n): 0 for f, n, _ in cases}
    for _ in range(runs):
        for form, name, argv in cases:
            w, c, rss = run_once(spawn, argv)
            cpu[(form, name)].append(c)
            wall[(form, name)].append(w)
            peak[(form, name)] = max(peak[(form, name)], rss)
    with open("/proc/loadavg") as f:
        print("load:", " ".join(f.read().split()[:3]), f"runs: {runs}")
    print(f"{'command':22} {'form':7} {'cpu s':>7} {'wall s':>7} {'peak MiB':>9} {'/utf8':>6} {'/before':>8}")
    for form, name, _ in cases:
        c = statistics.median(cpu[(form, name)])
        w = statistics.median(wall[(form, name)])
        to_utf8 = c / statistics.median(cpu[("utf8", name)]) if form in ("ansel", "utf16") else None
        to_before = c / statistics.median(cpu[("before", name)]) if form == "plain" and before else None
        print(f"{name:22} {form:7} {c:7.3f} {w:7.3f} {peak[(form, name)] / 1024:9.1f} "
              f"{'' if to_utf8 is None else f'{to_utf8:6.2f}':>6} {'' if to_before is None else f'{to_before:8.3f}':>8}")


if __name__ == "__main__":
    main()
