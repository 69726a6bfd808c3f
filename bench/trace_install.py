#!/usr/bin/env python3
"""Where the time of one real install goes under Wine, phase by phase, without touching the program.

    bench/trace_install.py --size 100M [--rounds 3]

Runs build/bench/<size>/ours.exe (packed by run_bench.py, which must have run for that size) in
the benchmark's prefix as run_bench.py does: start it, wait for the main window, click "install",
wait for the completion window. Meanwhile two clocks are read:

- the screen, polled every 10 ms: when the main window is mapped and painted, when it is
  shrunk away (the end of its fade-out), when the process window shows, when that is shrunk
  away (the end of the second fade-out) and when the completion window is painted;
- the prefix's wineserver, started under `strace -ttt`: under Wine every file is opened, closed
  and deleted by the server on the program's behalf, so its openat, close and unlink calls say when
  the program opened its own file, created, closed and deleted the temporary archive, created and
  closed each installed file and the uninstaller copy.

Both use the wall clock. Prints the intervals of each round and their medians; the events of each
round go to build/bench/trace-<size>-<round>.txt, the server's whole trace to
build/bench/strace-<size>.txt. The program itself is not changed. Tracing the server slows each
file it opens: the click-to-completion interval comes out up to 0.1 s longer at 100M and about
0.9 s longer at 1G than in run_bench.py, nearly all of it in the extraction.
"""

import argparse
import os
import re
import statistics
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True
import run_bench as rb  # noqa: E402

LINE = re.compile(r'^(?:(\d+) +)?(\d+\.\d+) (\w+)\((.*)\) += (-?\d+)')


def drive_c(path):
    """The server opens C: files through the prefix's dosdevices link and deletes them by their
    real path: one form for both."""
    return path.replace("/dosdevices/c:/", "/drive_c/")


def parse_trace(path):
    """The server's file events: [(time, kind, path)] where kind is open-create, open, close or
    unlink, with each close given the path its descriptor was opened with."""
    events = []
    open_fds = {}
    with open(path, encoding="utf-8", errors="replace") as handle:
        for line in handle:
            match = LINE.match(line)
            if not match:
                continue
            _, stamp, call, arguments, result = match.groups()
            stamp, result = float(stamp), int(result)
            if call == "openat" and result >= 0:
                name = drive_c(arguments.split('"')[1] if '"' in arguments else "")
                open_fds[result] = name
                events.append((stamp, "open-create" if "O_CREAT" in arguments else "open", name))
            elif call == "close" and result == 0:
                fd = int(arguments.strip())
                if fd in open_fds:
                    events.append((stamp, "close", open_fds.pop(fd)))
            elif call in ("unlink", "unlinkat") and result == 0:
                events.append((stamp, "unlink", drive_c(arguments.split('"')[1])))
    return events


def phases(events, marks, install_dir):
    """The intervals of one install, in seconds, from the server's events and the screen's marks."""
    install_prefix = install_dir.rstrip("/") + "/"

    def first(kind, test):
        return next((t for t, k, p in events if k == kind and test(p)), None)

    def last(kind, test):
        found = [t for t, k, p in events if k == kind and test(p)]
        return found[-1] if found else None

    is_zip = lambda p: p.endswith(".zip") and "/temp/" in p.lower()  # noqa: E731
    is_unins = lambda p: p.endswith("/" + rb.OURS_UNINSTALLER)  # noqa: E731
    is_installed = lambda p: p.startswith(install_prefix) and not is_unins(p)  # noqa: E731
    is_image = lambda p: p.endswith("/bench/ours.exe")  # noqa: E731

    zip_created = first("open-create", is_zip)
    zip_closed = next((t for t, k, p in events if k == "close" and is_zip(p) and zip_created and t >= zip_created),
                      None)
    first_file = first("open-create", is_installed)
    last_file_closed = last("close", is_installed)
    zip_removed = first("unlink", is_zip)
    unins_created = first("open-create", is_unins)
    unins_closed = last("close", is_unins)
    image_opens = [t for t, k, p in events if k == "open" and is_image(p)]
    files = sum(1 for t, k, p in events if k == "open-create" and is_installed(p))

    def span(a, b):
        return None if a is None or b is None else b - a

    m = marks
    return {
        "launch → main window mapped": span(m["launch"], m.get("main mapped")),
        "launch → main window painted": span(m["launch"], m.get("main painted")),
        "launch → first open of own file": span(m["launch"], image_opens[0] if image_opens else None),
        "click → main window gone (fade-out 1)": span(m.get("click"), m.get("main gone")),
        "main window gone → temp archive created": span(m.get("main gone"), zip_created),
        "payload → temp archive (create → close)": span(zip_created, zip_closed),
        "temp archive closed → first file created": span(zip_closed, first_file),
        "extraction (first file created → last file closed)": span(first_file, last_file_closed),
        "last file closed → temp archive deleted": span(last_file_closed, zip_removed),
        "temp archive deleted → uninstaller created": span(zip_removed, unins_created),
        "uninstaller copy (create → close)": span(unins_created, unins_closed),
        "uninstaller closed → process window gone (entry, fade-out 2)": span(unins_closed, m.get("process gone")),
        "process window gone → completion painted": span(m.get("process gone"), m.get("completion painted")),
        "click → completion painted": span(m.get("click"), m.get("completion painted")),
        "files created": files,
    }


def run_round(bench, label, rnd, manifest):
    wine = bench.wine
    bench.clean()
    bench.park_mouse()
    exe = r"C:\bench\ours.exe"
    match = rb.exe_matcher(exe)
    marks = {}
    screen = bench.screen

    def note(name):
        if name not in marks:
            marks[name] = time.time()

    def look():
        windows = {w.geometry() for w in screen.viewable_windows() if w.res_name.lower() == "ours.exe"}
        if rb.OURS_MAIN in windows:
            note("main mapped")
            if rb.xscreen.is_blue(screen.pixel(*rb.INSTALL_BUTTON_PROBE)):
                note("main painted")
        elif "click" in marks:
            note("main gone")
        if rb.OURS_PROCESS in windows:
            note("process mapped")
        elif "process mapped" in marks:
            note("process gone")
        if rb.OURS_COMPLETION in windows and rb.xscreen.is_blue(screen.pixel(*rb.START_BUTTON_PROBE)):
            note("completion painted")

    marks["launch"] = time.time()
    launcher = wine.launch(exe)
    deadline = time.time() + 60 + 0.3 * os.path.getsize(os.path.join(bench.work, label, "ours.exe")) / 2 ** 20
    while time.time() < deadline and "completion painted" not in marks:
        look()
        if "main painted" in marks and "click" not in marks:
            marks["click"] = time.time()
            bench.click(rb.INSTALL_BUTTON)
        if launcher.poll() is not None:
            break
        time.sleep(rb.POLL)
    ok = "completion painted" in marks
    if ok:
        bench.click(rb.COMPLETION_CLOSE)
    bench.end(launcher, match)
    marks["end"] = time.time()
    problems = bench.check_install(manifest, rb.OURS_UNINSTALLER, rb.OURS_KEY) if ok else ["no completion window"]
    bench.clean()
    return marks, problems


def start_traced_server(bench, raw):
    """The prefix's wineserver, started under strace so that every file it opens, closes or
    deletes for the program is seen. Attaching to a running server does not do: a server that
    had no client left shut down as soon as strace attached. --seccomp-bpf stops only the traced
    calls."""
    bench.wine.server("-k")
    tracer = subprocess.Popen(["strace", "-qq", "-f", "-ttt", "--seccomp-bpf", "-e",
                               "trace=openat,close,unlink,unlinkat", "-o", raw, "wineserver", "-f", "-p"],
                              env=bench.wine.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    for _ in range(100):
        if bench.wine.processes(lambda argv0: os.path.basename(argv0).startswith("wineserver")):
            break
        time.sleep(0.05)
    return tracer


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--size", default="100M", help="a size run_bench.py has packed (10M, 100M, 1G)")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--display", default=":77")
    parser.add_argument("--work", default=os.path.join(rb.TOP, "build", "bench"))
    parser.add_argument("--prefix", default=os.path.join(rb.TOP, "build", "bench-prefix"))
    parser.add_argument("--home", default=os.path.join(rb.TOP, "build", "bench-home"))
    args = parser.parse_args(argv)
    args.work = os.path.abspath(args.work)
    folder = os.path.join(args.work, args.size)
    if not os.path.exists(os.path.join(folder, "ours.exe")):
        raise SystemExit("trace_install: %s/ours.exe is missing; run bench/run_bench.py --sizes %s first" % (
            folder, args.size))
    bench = rb.Bench(args)
    # C:\bench\ours.exe is a link to the installer of the size run_bench.py packed last.
    linked = os.path.join(bench.wine.drive_c, "bench", "ours.exe")
    if os.path.exists(linked):
        os.remove(linked)
    os.link(os.path.join(folder, "ours.exe"), linked)
    manifest = rb.tree_manifest(os.path.join(folder, "payload"))
    results = []
    raw = os.path.join(args.work, "strace-%s.txt" % args.size)
    bench.start_display()
    tracer = start_traced_server(bench, raw)
    rounds = []
    try:
        bench.start_wine()
        for rnd in range(1, args.rounds + 1):
            rounds.append(run_round(bench, args.size, rnd, manifest))
        # The uninstall entry of the last round stays otherwise; the files went with clean().
        bench.wine.run("reg", "delete", rb.OURS_KEY, "/f", "/reg:32")
    finally:
        bench.stop()
        tracer.wait()
    events = parse_trace(raw)
    for rnd, (marks, problems) in enumerate(rounds, 1):
        mine = [e for e in events if marks["launch"] <= e[0] <= marks["end"]]
        with open(os.path.join(args.work, "trace-%s-%d.txt" % (args.size, rnd)), "w") as handle:
            for name, stamp in sorted(marks.items(), key=lambda item: item[1]):
                handle.write("%.6f screen %s\n" % (stamp, name))
            for stamp, kind, path in mine:
                handle.write("%.6f %s %s\n" % (stamp, kind, path))
        result = phases(mine, marks, bench.wine.install_dir)
        results.append(result)
        print("round %d%s" % (rnd, ": FAILED " + "; ".join(problems) if problems else ""), flush=True)
        for name, value in result.items():
            print("  %-62s %s" % (name, "-" if value is None else
                                   (value if isinstance(value, int) else "%.3f" % value)), flush=True)
    print("\nmedian of %d rounds (%s):" % (len(results), args.size))
    for name in results[0]:
        values = [r[name] for r in results if r[name] is not None]
        if values:
            print("  %-62s %s" % (name, "%.3f" % statistics.median(values) if not isinstance(values[0], int)
                                  else statistics.median(values)))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
