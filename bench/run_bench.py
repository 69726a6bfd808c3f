#!/usr/bin/env python3
"""Times our installer against an NSIS installer of the same files, side by side, under Wine.

    bench/run_bench.py [--sizes 10M,100M,1G] [--runs 5] [--seed 1] [--files 100,400,4000]

For each size: writes a payload once (bench/gen_payload.py), packs it with mkinstaller and with
makensis, then repeats R rounds of: first painted frame, install and uninstall of each installer,
and a native `unzip -q` of the same ZIP archive as the floor. The order of the systems rotates
from round to round. Every install is checked against the payload (same files, same sizes) and
every uninstall for what it leaves; a run that fails a check is reported and left out of the
figures. Prints a Markdown table of medians (min-max) and the ratio ours / NSIS per size, and
writes every run to build/bench/results-<time>.csv. bench/README.md says what each interval
covers.
"""

import argparse
import csv
import datetime
import hashlib
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.dont_write_bytecode = True  # no __pycache__ in the source tree
import gen_payload  # noqa: E402
import xscreen  # noqa: E402

TOP = os.path.dirname(HERE)
PRODUCT = "Varnholt手机助手苹果版"
MAIN_TITLE = PRODUCT + " 安装程序"
PROGRAM = "lumetra_ios.exe"
INSTALL_DIR_WIN = r"C:\Program Files (x86)\lumetra(ios)"
UNINSTALL_KEY = r"HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall"
OURS_KEY = UNINSTALL_KEY + r"\lumetra(ios)"
NSIS_KEY = UNINSTALL_KEY + r"\lumetra(ios) NSIS"
OURS_UNINSTALLER = "unins001.exe"
NSIS_UNINSTALLER = "uninst.exe"

# Our windows on a 1024 x 768 screen with no window manager: each is centred, so these are
# fixed. Geometry is (x, y, width, height); a probe is a screen point inside a control whose
# colour is the brand blue once the window has been painted.
OURS_MAIN = (177, 44, 670, 680)
OURS_PROCESS = (177, 234, 670, 300)
OURS_COMPLETION = (177, 224, 670, 320)
OURS_CONFIRM = (177, 219, 670, 330)
OURS_FAREWELL = (177, 184, 670, 400)
OURS_KNOWN = {OURS_MAIN, OURS_PROCESS, OURS_COMPLETION, OURS_CONFIRM, OURS_FAREWELL}
INSTALL_BUTTON = (722, 646)
INSTALL_BUTTON_PROBE = (672, 646)      # left part of the install button
START_BUTTON_PROBE = (645, 419)        # the completion window's start button
COMPLETION_CLOSE = (794, 276)          # its close cross: ends the installer without starting the program
UNINSTALL_BUTTON = (598, 475)          # "卸载" in the confirmation window
FINISH_BUTTON = (735, 510)             # "完成" in the farewell window
# NSIS's directory page: the selected folder text in its edit box, relative to the window.
NSIS_PAGE_PROBE = (118, 93)
MOUSE_PARK = (1015, 760)

POLL = 0.01


def now():
    return time.monotonic()


def parse_sizes(text):
    return [(label.strip(), gen_payload.parse_size(label)) for label in text.split(",") if label.strip()]


def default_files(size):
    # About one file per 256 KiB, as in a typical desktop application, within 100 .. 4000.
    return max(100, min(4000, size // (256 * 1024)))


def tree_manifest(root, skip_top=()):
    """{relative path: size} of every file under root, leaving out the named top-level files."""
    files = {}
    for folder, _, names in os.walk(root):
        for name in names:
            path = os.path.join(folder, name)
            rel = os.path.relpath(path, root).replace(os.sep, "/")
            if rel in skip_top:
                continue
            files[rel] = os.path.getsize(path)
    return files


def compare_manifest(expected, actual):
    """'' when both hold the same files with the same sizes, else what differs."""
    if expected == actual:
        return ""
    missing = [p for p in expected if p not in actual]
    extra = [p for p in actual if p not in expected]
    wrong = [p for p in expected if p in actual and actual[p] != expected[p]]
    parts = ["files %d/%d, bytes %d/%d" % (len(actual), len(expected), sum(actual.values()),
                                           sum(expected.values()))]
    for label, items in (("missing", missing), ("extra", extra), ("size differs", wrong)):
        if items:
            parts.append("%s %d (e.g. %s)" % (label, len(items), items[0]))
    return "; ".join(parts)


def compare_sizes(expected, actual):
    """'' when both hold as many files with the same sizes, else what differs."""
    if sorted(expected.values()) == sorted(actual.values()):
        return ""
    return "files %d/%d, bytes %d/%d" % (len(actual), len(expected), sum(actual.values()), sum(expected.values()))


def empty_folders(root):
    """How many folders (root included) are left under root; call it when no files are."""
    return sum(1 for _ in os.walk(root)) if os.path.isdir(root) else 0


class Wine:
    """The one prefix every run uses, and the processes started in it."""

    def __init__(self, prefix, home, display):
        self.prefix = prefix
        self.home = home
        self.env = dict(os.environ, WINEPREFIX=prefix, QV_WINE_HOME=home, DISPLAY=display)
        self.run_script = os.path.join(TOP, "scripts", "wine-run")
        self.drive_c = os.path.join(prefix, "drive_c")
        self.install_dir = os.path.join(self.drive_c, "Program Files (x86)", "lumetra(ios)")
        self._prefix_marker = b"WINEPREFIX=" + prefix.encode() + b"\0"

    def launch(self, *args, errors=None):
        """Starts a program; its standard error (where a C++ runtime reports an uncaught
        exception) goes to the file errors when given."""
        error_file = open(errors, "wb") if errors else subprocess.DEVNULL
        try:
            return subprocess.Popen([self.run_script, *args], env=self.env, stdin=subprocess.DEVNULL,
                                    stdout=subprocess.DEVNULL, stderr=error_file)
        finally:
            if errors:
                error_file.close()

    def run(self, *args, timeout=120):
        # Not captured: Wine's services started by a call keep its output open after it ends.
        return subprocess.run([self.run_script, *args], env=self.env, stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=timeout)

    def server(self, *args):
        subprocess.run(["wineserver", *args], env=self.env, check=False)

    def key_exists(self, key):
        return self.run("reg", "query", key, "/reg:32").returncode == 0

    def desktop_link(self):
        users = os.path.join(self.drive_c, "users")
        for user in sorted(os.listdir(users)):
            desktop = os.path.join(users, user, "Desktop")
            if user != "Public" and os.path.isdir(desktop):
                return os.path.join(os.path.realpath(desktop), PRODUCT + ".lnk")
        return os.path.join(self.home, PRODUCT + ".lnk")

    def processes(self, match):
        """Live (not zombie) processes of this prefix whose argv[0] satisfies match."""
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as handle:
                    argv0 = handle.read().split(b"\0")[0].decode("utf-8", "replace")
                if not argv0 or not match(argv0):
                    continue
                with open("/proc/%s/stat" % entry, "rb") as handle:
                    if handle.read().rsplit(b")", 1)[1].split()[0] == b"Z":
                        continue
                with open("/proc/%s/environ" % entry, "rb") as handle:
                    if self._prefix_marker not in handle.read():
                        continue
            except (OSError, IndexError):
                continue
            found.append(int(entry))
        return found

    def kill(self, match):
        for pid in self.processes(match):
            try:
                os.kill(pid, signal.SIGKILL)
            except OSError:
                pass


def exe_matcher(windows_path):
    lowered = windows_path.lower()
    return lambda argv0: argv0.lower() == lowered


def basename_matcher(name):
    suffix = "\\" + name.lower()
    return lambda argv0: argv0.lower().endswith(suffix)


class PeakMemory(threading.Thread):
    """Follows the Linux processes that run one Windows program (found by their command line)
    and keeps the last VmHWM and VmPeak read from /proc/PID/status before each one ended. VmHWM
    is the kernel's own high-water mark of resident memory, so the last reading is the peak."""

    def __init__(self, wine, match):
        super().__init__(daemon=True)
        self._wine = wine
        self._match = match
        self._stop_event = threading.Event()
        self.last = {}

    def run(self):
        pids = set()
        next_scan = 0.0
        while not self._stop_event.is_set():
            if now() >= next_scan:
                pids.update(self._wine.processes(self._match))
                next_scan = now() + (0.5 if pids else 0.05)
            for pid in list(pids):
                values = {}
                try:
                    with open("/proc/%d/status" % pid) as handle:
                        for line in handle:
                            if line.startswith(("VmHWM:", "VmPeak:")):
                                key, value = line.split(":")
                                values[key] = int(value.split()[0])
                except OSError:
                    pids.discard(pid)
                    continue
                if values:
                    self.last[pid] = values
            time.sleep(0.02)

    def stop(self):
        self._stop_event.set()
        self.join()
        hwm = max((v.get("VmHWM", 0) for v in self.last.values()), default=0)
        peak = max((v.get("VmPeak", 0) for v in self.last.values()), default=0)
        return hwm, peak


class Bench:
    def __init__(self, args):
        self.args = args
        self.work = os.path.abspath(args.work)
        self.wine = Wine(os.path.abspath(args.prefix), os.path.abspath(args.home), args.display)
        self.screen = None
        self.xvfb = None
        self.records = []
        self.timeouts = {}
        self.started = datetime.datetime.now()
        self.csv_path = os.path.join(self.work, "results-%s.csv" % self.started.strftime("%Y%m%d-%H%M%S"))

    # ---- set-up ------------------------------------------------------------------------------

    def log(self, text):
        print(text, flush=True)

    def start_display(self):
        number = self.args.display.lstrip(":").split(".")[0]
        if not os.path.exists("/tmp/.X11-unix/X%s" % number):
            self.xvfb = subprocess.Popen(["Xvfb", self.args.display, "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            for _ in range(100):
                if os.path.exists("/tmp/.X11-unix/X%s" % number):
                    break
                time.sleep(0.1)
            self.log("started Xvfb %s (pid %d)" % (self.args.display, self.xvfb.pid))
        self.screen = xscreen.Screen(self.args.display)

    def start_wine(self):
        os.makedirs(self.wine.home, exist_ok=True)
        started = now()
        self.wine.run("cmd", "/c", "exit", timeout=300)
        # Our installer looks for the device-support component and offers to download it when
        # it is missing; the benchmark times the install itself, so the component is present.
        apple = os.path.join(self.wine.drive_c, "qv-apple")
        os.makedirs(apple, exist_ok=True)
        for name in ("iTunes.exe", "iTunes.dll", "AirTrafficHost.dll"):
            open(os.path.join(apple, name), "ab").close()
        self.wine.run("reg", "add", r"HKLM\SOFTWARE\Apple Computer, Inc.\iPod\RegisteredApps\4", "/v", "path",
                      "/d", r"C:\qv-apple\iTunes.exe", "/f", "/reg:32")
        self.wine.run("reg", "add", r"HKLM\SOFTWARE\Apple Inc.\Apple Mobile Device Support\Shared", "/v",
                      "AirTrafficHostDLL", "/d", r"C:\qv-apple\AirTrafficHost.dll", "/f", "/reg:32")
        # The server and Wine's own services stay up for every run, so no run pays for them.
        self.wine.server("-p")
        self.wine.run("cmd", "/c", "exit")
        self.log("wine prefix %s ready in %.1f s" % (self.wine.prefix, now() - started))

    def stop(self):
        if self.screen:
            self.screen.close()
        self.wine.server("-k")
        if self.xvfb:
            self.xvfb.terminate()
            self.xvfb.wait()

    # ---- payload and packing ----------------------------------------------------------------

    def prepare(self, label, size, files):
        folder = os.path.join(self.work, label)
        payload = os.path.join(folder, "payload")
        stamp_path = os.path.join(folder, "payload.stamp")
        stamp = "seed=%d files=%d size=%d generator=%d\n" % (
            self.args.seed, files, size, os.path.getmtime(gen_payload.__file__))
        os.makedirs(folder, exist_ok=True)
        if not (os.path.isdir(payload) and os.path.exists(stamp_path) and open(stamp_path).read() == stamp):
            shutil.rmtree(payload, ignore_errors=True)
            if os.path.exists(stamp_path):
                os.remove(stamp_path)
            started = now()
            folders, entries = gen_payload.write_tree(self.args.seed, files, size, payload)
            with open(stamp_path, "w") as handle:
                handle.write(stamp)
            self.log("%s: payload of %d files in %d folders written in %.1f s" % (label, len(entries), len(folders),
                                                                                 now() - started))
        manifest = tree_manifest(payload)

        ours = os.path.join(folder, "ours.exe")
        started = now()
        name = PRODUCT + "=" + PROGRAM
        result = subprocess.run([os.path.join(TOP, "build/dist/mkinstaller"), "build",
                                 "--stub", os.path.join(TOP, "build/dist/setup-stub.exe"), "--payload", payload,
                                 "-o", ours, "--lastrun", PROGRAM,
                                 "--licence", os.path.join(TOP, "tools/sample_app/licence.txt"),
                                 "--desktop-shortcut", name, "--taskbar-shortcut", name],
                                capture_output=True, text=True)
        if result.returncode != 0:
            raise RuntimeError("mkinstaller failed: %s" % result.stderr.strip())
        self.record(label, size, files, 0, "ours", "pack", now() - started, output_bytes=os.path.getsize(ours))

        nsi = os.path.join(folder, "nsis.nsi")
        nsis = os.path.join(folder, "nsis.exe")
        write_nsi(nsi, payload, nsis)
        started = now()
        result = subprocess.run(["makensis", "-V2", nsi], capture_output=True, text=True)
        if result.returncode != 0:
            raise RuntimeError("makensis failed: %s" % (result.stdout + result.stderr).strip()[-2000:])
        self.record(label, size, files, 0, "nsis", "pack", now() - started, output_bytes=os.path.getsize(nsis))

        # The ZIP archive inside our installer, for unzip.
        archive = os.path.join(folder, "payload.zip")
        extract_payload_zip(ours, archive)
        self.record(label, size, files, 0, "unzip", "pack", None, output_bytes=os.path.getsize(archive))

        bench_dir = os.path.join(self.wine.drive_c, "bench")
        os.makedirs(bench_dir, exist_ok=True)
        for source in (ours, nsis):
            target = os.path.join(bench_dir, os.path.basename(source))
            if os.path.exists(target):
                os.remove(target)
            os.link(source, target)
        self.log("%s: ours.exe %d bytes, nsis.exe %d bytes, payload.zip %d bytes" % (
            label, os.path.getsize(ours), os.path.getsize(nsis), os.path.getsize(archive)))
        return manifest, archive

    # ---- records ----------------------------------------------------------------------------

    def record(self, label, size, files, rep, system, phase, seconds, interaction=None, window=None,
               hwm=0, peak=0, exit_code="", ok=True, note="", output_bytes=""):
        row = {"size": label, "size_bytes": size, "files": files, "round": rep, "system": system,
               "phase": phase, "seconds": "" if seconds is None else "%.3f" % seconds,
               "interaction_seconds": "" if interaction is None else "%.3f" % interaction,
               "window_seconds": "" if window is None else "%.3f" % window,
               "vmhwm_kb": hwm or "", "vmpeak_kb": peak or "", "exit_code": exit_code, "ok": int(ok),
               "note": note.encode("utf-8", "backslashreplace").decode("utf-8"), "output_bytes": output_bytes}
        self.records.append(row)
        if not ok and note.startswith("timeout"):
            self.timeouts[(label, system)] = self.timeouts.get((label, system), 0) + 1
        new = not os.path.exists(self.csv_path)
        with open(self.csv_path, "a", newline="") as handle:
            writer = csv.DictWriter(handle, fieldnames=list(row))
            if new:
                writer.writeheader()
            writer.writerow(row)
        shown = "%.3f s" % seconds if seconds is not None else "-"
        extra = " peak %.1f MiB" % (hwm / 1024) if hwm else ""
        self.log("  %-5s %-10s round %d: %s%s%s%s" % (system, phase, rep, shown, extra,
                                                       "" if ok else " FAILED", " (%s)" % note if note else ""))

    # ---- the screen ---------------------------------------------------------------------------

    def click(self, point):
        subprocess.run(["xdotool", "mousemove", str(point[0]), str(point[1]), "click", "1"], env=self.wine.env)

    def park_mouse(self):
        subprocess.run(["xdotool", "mousemove", str(MOUSE_PARK[0]), str(MOUSE_PARK[1])], env=self.wine.env)

    def find_window(self, res_name, geometry=None, title=None, title_prefix=None):
        for window in self.screen.viewable_windows():
            if window.res_name.lower() != res_name.lower():
                continue
            if geometry and window.geometry() != geometry:
                continue
            if title is not None and window.title != title:
                continue
            if title_prefix is not None and not window.title.startswith(title_prefix):
                continue
            return window
        return None

    def painted(self, res_name, geometry, probe, title=None):
        window = self.find_window(res_name, geometry, title)
        return window is not None and xscreen.is_blue(self.screen.pixel(*probe))

    def screenshot(self, name):
        path = os.path.join(self.work, name + ".png")
        subprocess.run(["import", "-window", "root", path], env=self.wine.env, capture_output=True)
        return path

    def wait(self, done, timeout, launcher=None, res_name=None, known=()):
        """Polls done() until it holds: 'ok'. Stops early when the launched program ends
        ('exited N') or, with res_name, when a window shows that is none of the known ones
        ('window ...')."""
        deadline = now() + timeout
        while now() < deadline:
            if done():
                return "ok"
            if launcher is not None and launcher.poll() is not None:
                if done():
                    return "ok"
                return "exited %d" % launcher.returncode
            if res_name:
                # A message box, or Wine's crash dialog (another program), is no known window.
                for window in self.screen.viewable_windows():
                    if window.geometry() not in known:
                        time.sleep(0.5)  # let it paint before the screenshot
                        return "window %r %dx%d" % (window.title, window.width, window.height)
            time.sleep(POLL)
        return "timeout after %.0f s" % timeout

    def end(self, launcher, match, timeout=30):
        """Waits for a launched program to end after its last click; kills it when it does not."""
        try:
            launcher.wait(timeout)
        except subprocess.TimeoutExpired:
            self.wine.kill(match)
            launcher.kill()
            launcher.wait()
            return "killed"
        deadline = now() + timeout
        while self.wine.processes(match) and now() < deadline:
            time.sleep(POLL)
        self.wine.kill(match)
        return launcher.returncode

    def errors_path(self):
        return os.path.join(self.work, "last-stderr.txt")

    def abandon(self, launcher, match, shot):
        path = self.screenshot(shot)
        windows = "; ".join("%r %dx%d+%d+%d" % (w.title, w.width, w.height, w.x, w.y)
                            for w in self.screen.viewable_windows())
        self.wine.kill(match)
        if launcher.poll() is None:
            launcher.kill()
        launcher.wait()
        note = "screenshot %s; windows: %s" % (os.path.relpath(path, TOP), windows or "none")
        try:
            with open(self.errors_path(), "rb") as handle:
                lines = [line.strip() for line in handle.read().decode("utf-8", "replace").splitlines()
                         if line.strip() and ":fixme:" not in line]
        except OSError:
            lines = []
        if lines:
            note += "; stderr: " + " / ".join(lines[-3:])
        return note

    def clean(self):
        """Makes sure the next install starts from nothing; returns what had to be removed."""
        left = []
        if os.path.exists(self.wine.install_dir):
            shutil.rmtree(self.wine.install_dir, ignore_errors=True)
            left.append("install folder")
        link = self.wine.desktop_link()
        if os.path.lexists(link):
            os.remove(link)
            left.append("desktop link")
        return left

    # ---- the measurements ---------------------------------------------------------------------

    def paint_ours(self, ctx, rep):
        return self._paint(ctx, rep, "ours", r"C:\bench\ours.exe", [],
                           lambda: self.painted("ours.exe", OURS_MAIN, INSTALL_BUTTON_PROBE, MAIN_TITLE),
                           "ours.exe", OURS_KNOWN)

    def paint_nsis(self, ctx, rep):
        def done():
            window = self.find_window("nsis.exe", title_prefix=PRODUCT + " Setup")
            return window is not None and xscreen.is_blue(
                self.screen.pixel(window.x + NSIS_PAGE_PROBE[0], window.y + NSIS_PAGE_PROBE[1]))
        return self._paint(ctx, rep, "nsis", r"C:\bench\nsis.exe", [], done, None, ())

    def _paint(self, ctx, rep, system, exe, args, done, res_name, known):
        self.park_mouse()
        match = exe_matcher(exe)
        if done():
            self.record(*ctx, rep, system, "paint", None, ok=False, note="the window was already on screen")
            return
        started = now()
        launcher = self.wine.launch(exe, *args, errors=self.errors_path())
        outcome = self.wait(done, ctx_timeout(ctx, 30, 0.05), launcher, res_name, known)
        seconds = now() - started
        if outcome == "ok":
            self.wine.kill(match)
            launcher.wait()
            self.wait(lambda: not done(), 10)
            self.record(*ctx, rep, system, "paint", seconds)
        else:
            note = outcome + "; " + self.abandon(launcher, match, "%s-%s-paint-%d" % (ctx[0], system, rep))
            self.record(*ctx, rep, system, "paint", seconds, exit_code=launcher.returncode, ok=False, note=note)

    def install_ours(self, ctx, rep, manifest):
        label = ctx[0]
        leftovers = self.clean()
        self.park_mouse()
        exe = r"C:\bench\ours.exe"
        match = exe_matcher(exe)
        memory = PeakMemory(self.wine, match)
        memory.start()
        started = now()
        launcher = self.wine.launch(exe, errors=self.errors_path())
        timeout = ctx_timeout(ctx, 30, 0.05)
        outcome = self.wait(lambda: self.painted("ours.exe", OURS_MAIN, INSTALL_BUTTON_PROBE, MAIN_TITLE),
                            timeout, launcher, "ours.exe", OURS_KNOWN)
        window = now() - started
        clicked = None
        if outcome == "ok":
            clicked = now()
            self.click(INSTALL_BUTTON)
            outcome = self.wait(lambda: self.painted("ours.exe", OURS_COMPLETION, START_BUTTON_PROBE),
                                ctx_timeout(ctx, 60, 0.15), launcher, "ours.exe", OURS_KNOWN)
        finished = now()
        if outcome != "ok":
            note = outcome + "; " + self.abandon(launcher, match, "%s-ours-install-%d" % (label, rep))
            hwm, peak = memory.stop()
            self.record(*ctx, rep, "ours", "install", finished - started, None if clicked is None else finished - clicked,
                        window, hwm, peak, launcher.returncode, False, note)
            self.clean()
            return False
        self.click(COMPLETION_CLOSE)
        exit_code = self.end(launcher, match)
        hwm, peak = memory.stop()
        problems = self.check_install(manifest, OURS_UNINSTALLER, OURS_KEY)
        if exit_code != 0:
            problems.append("exit code %s" % exit_code)
        if leftovers:
            problems.append("had to remove %s first" % ", ".join(leftovers))
        self.record(*ctx, rep, "ours", "install", finished - started, finished - clicked, window, hwm, peak,
                    exit_code, not problems, "; ".join(problems))
        return not problems

    def uninstall_ours(self, ctx, rep):
        label = ctx[0]
        self.park_mouse()
        match = basename_matcher(OURS_UNINSTALLER)
        started = now()
        launcher = self.wine.launch(INSTALL_DIR_WIN + "\\" + OURS_UNINSTALLER, errors=self.errors_path())
        # The uninstaller starts a copy of itself from the temporary folder and ends, so the
        # launched process is no guide: the windows are.
        outcome = self.wait(lambda: self.painted(OURS_UNINSTALLER, OURS_CONFIRM, UNINSTALL_BUTTON, MAIN_TITLE),
                            ctx_timeout(ctx, 30, 0.05), None, OURS_UNINSTALLER, OURS_KNOWN)
        window = now() - started
        clicked = None
        if outcome == "ok":
            clicked = now()
            self.click(UNINSTALL_BUTTON)
            outcome = self.wait(lambda: self.painted(OURS_UNINSTALLER, OURS_FAREWELL, FINISH_BUTTON),
                                ctx_timeout(ctx, 60, 0.2), None, OURS_UNINSTALLER, OURS_KNOWN)
        finished = now()
        if outcome != "ok":
            note = outcome + "; " + self.abandon(launcher, match, "%s-ours-uninstall-%d" % (label, rep))
            self.record(*ctx, rep, "ours", "uninstall", finished - started, None if clicked is None else finished - clicked,
                        window, ok=False, note=note)
            self.clean()
            return
        files_at_farewell = len(tree_manifest(self.wine.install_dir)) if os.path.isdir(self.wine.install_dir) else 0
        self.click(FINISH_BUTTON)
        exit_code = self.end(launcher, match)
        problems, remarks = self.check_uninstall(OURS_KEY)
        if files_at_farewell:
            problems.append("%d files still there when the farewell window showed" % files_at_farewell)
        self.record(*ctx, rep, "ours", "uninstall", finished - started, finished - clicked, window,
                    exit_code=exit_code, ok=not problems, note="; ".join(problems + remarks))
        self.clean()

    def install_nsis(self, ctx, rep, manifest):
        label = ctx[0]
        leftovers = self.clean()
        exe = r"C:\bench\nsis.exe"
        match = exe_matcher(exe)
        memory = PeakMemory(self.wine, match)
        memory.start()
        started = now()
        launcher = self.wine.launch(exe, "/S", errors=self.errors_path())
        try:
            launcher.wait(ctx_timeout(ctx, 60, 0.3))
        except subprocess.TimeoutExpired:
            pass
        finished = now()
        hwm, peak = memory.stop()
        if launcher.poll() is None:
            note = "timeout; " + self.abandon(launcher, match, "%s-nsis-install-%d" % (label, rep))
            self.record(*ctx, rep, "nsis", "install", finished - started, hwm=hwm, peak=peak, ok=False, note=note)
            self.clean()
            return False
        problems = self.check_install(manifest, NSIS_UNINSTALLER, NSIS_KEY)
        if launcher.returncode != 0:
            problems.append("exit code %d" % launcher.returncode)
        stray = self.wine.processes(lambda argv0: argv0.lower().endswith(".exe") and "nsis" in argv0.lower())
        if stray:
            problems.append("processes left running: %s" % stray)
        if leftovers:
            problems.append("had to remove %s first" % ", ".join(leftovers))
        self.record(*ctx, rep, "nsis", "install", finished - started, hwm=hwm, peak=peak,
                    exit_code=launcher.returncode, ok=not problems, note="; ".join(problems))
        return not problems

    def uninstall_nsis(self, ctx, rep):
        label = ctx[0]
        # NSIS's uninstaller copies itself to %TEMP%\~nsuN.tmp and runs that copy, which deletes
        # the files; the interval ends when the copy has ended and the folder is gone.
        temp_copy = lambda argv0: "\\~nsu" in argv0.lower()  # noqa: E731
        started = now()
        launcher = self.wine.launch(INSTALL_DIR_WIN + "\\" + NSIS_UNINSTALLER, "/S", errors=self.errors_path())
        outcome = self.wait(lambda: launcher.poll() is not None and not self.wine.processes(temp_copy)
                            and not os.path.exists(self.wine.install_dir), ctx_timeout(ctx, 60, 0.2))
        finished = now()
        if outcome != "ok":
            note = outcome + "; " + self.abandon(launcher, temp_copy, "%s-nsis-uninstall-%d" % (label, rep))
            self.record(*ctx, rep, "nsis", "uninstall", finished - started, ok=False, note=note)
            self.clean()
            return
        problems, remarks = self.check_uninstall(NSIS_KEY)
        self.record(*ctx, rep, "nsis", "uninstall", finished - started, exit_code=launcher.returncode,
                    ok=not problems, note="; ".join(problems + remarks))
        self.clean()

    def unzip(self, ctx, rep, manifest, archive):
        target = os.path.join(self.work, ctx[0], "unzip-out")
        shutil.rmtree(target, ignore_errors=True)
        started = now()
        unzip = shutil.which("unzip")
        with tempfile.TemporaryFile() as error_file:
            process = subprocess.Popen([unzip, "-q", archive, "-d", target], stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=error_file)
            # The same reading of VmHWM as for the installers. ru_maxrss from wait4 would not
            # do: it counts the memory of this Python process the child was forked from.
            hwm = 0
            while process.poll() is None:
                hwm = max(hwm, read_hwm(process.pid, unzip))
                time.sleep(0.005)
            finished = now()
            exit_code = process.returncode
            error_file.seek(0)
            errors = error_file.read().decode("utf-8", "replace")
        problems = []
        if exit_code != 0:
            problems.append("exit code %d: %s" % (exit_code, errors.strip()[:200]))
        # Debian's unzip 6.0 reads the names of an archive made on FAT (as ours says it is) in
        # the OEM code page even when the UTF-8 flag is set, so the names come out mangled: the
        # check compares the files' sizes, not their names.
        difference = compare_sizes(manifest, tree_manifest(target)) if os.path.isdir(target) else "no output"
        if difference:
            problems.append(difference)
        self.record(*ctx, rep, "unzip", "install", finished - started, hwm=hwm, exit_code=exit_code,
                    ok=not problems, note="; ".join(problems))
        shutil.rmtree(target, ignore_errors=True)

    def check_install(self, manifest, uninstaller, key):
        problems = []
        if not os.path.isdir(self.wine.install_dir):
            return ["no install folder"]
        difference = compare_manifest(manifest, tree_manifest(self.wine.install_dir, {uninstaller}))
        if difference:
            problems.append(difference)
        if not os.path.isfile(os.path.join(self.wine.install_dir, uninstaller)):
            problems.append("no %s" % uninstaller)
        if not os.path.lexists(self.wine.desktop_link()):
            problems.append("no desktop shortcut")
        if not self.wine.key_exists(key):
            problems.append("no uninstall entry")
        return problems

    def check_uninstall(self, key):
        """(problems, remarks): a file, the shortcut or the entry left behind fails the run;
        empty folders left behind are remarked on, as they cost next to nothing to remove."""
        problems, remarks = [], []
        left = tree_manifest(self.wine.install_dir) if os.path.isdir(self.wine.install_dir) else {}
        if left:
            problems.append("%d files left in the install folder" % len(left))
        elif os.path.isdir(self.wine.install_dir):
            remarks.append("left %d empty folders" % empty_folders(self.wine.install_dir))
        if os.path.lexists(self.wine.desktop_link()):
            problems.append("desktop shortcut left")
        if self.wine.key_exists(key):
            problems.append("uninstall entry left")
        return problems, remarks

    # ---- the whole run ------------------------------------------------------------------------

    def run_size(self, label, size, files):
        self.log("== %s: %d bytes, %d files" % (label, size, files))
        manifest, archive = self.prepare(label, size, files)
        ctx = (label, size, files)

        def gave_up(system, rep):
            # Two runs that hung are enough to show it; more would only cost the session time.
            if self.timeouts.get((label, system), 0) < 2:
                return False
            self.record(*ctx, rep, system, "install", None, ok=False, note="skipped: two runs timed out before")
            return True

        def ours(rep):
            if gave_up("ours", rep):
                return
            self.paint_ours(ctx, rep)
            if self.install_ours(ctx, rep, manifest):
                self.uninstall_ours(ctx, rep)

        def nsis(rep):
            if gave_up("nsis", rep):
                return
            self.paint_nsis(ctx, rep)
            if self.install_nsis(ctx, rep, manifest):
                self.uninstall_nsis(ctx, rep)

        def floor(rep):
            self.unzip(ctx, rep, manifest, archive)

        systems = [ours, nsis, floor]
        # One round that is not counted, so that neither system is the first to load Wine's
        # libraries and its own file from disk.
        self.log("  warm-up round (not counted)")
        saved = self.records, self.csv_path
        self.records, self.csv_path = [], os.path.join(self.work, "warmup.csv")
        for system in systems:
            system(0)
        self.records, self.csv_path = saved
        for rep in range(1, self.args.runs + 1):
            shift = (rep - 1) % len(systems)
            for system in systems[shift:] + systems[:shift]:
                system(rep)

    def main(self):
        os.makedirs(self.work, exist_ok=True)
        sizes = parse_sizes(self.args.sizes)
        files = [int(n) for n in self.args.files.split(",")] if self.args.files else [default_files(s) for _, s in sizes]
        if len(files) != len(sizes):
            raise SystemExit("run_bench: --files needs one count per size")
        self.log("run_bench: commit %s, %s, %d cores, load %s" % (commit(), self.started.strftime("%Y-%m-%d %H:%M"),
                                                                 os.cpu_count(), " ".join(open("/proc/loadavg").read().split()[:3])))
        self.log("measured: %s" % describe_binaries())
        self.start_display()
        try:
            self.start_wine()
            for (label, size), count in zip(sizes, files):
                self.run_size(label, size, count)
        finally:
            self.stop()
        self.log("")
        self.log(report(self.records, self.args.runs))
        self.log("raw figures: %s" % os.path.relpath(self.csv_path, TOP))


def read_hwm(pid, executable):
    """VmHWM of pid in KiB once it runs executable (before its exec it is still this Python)."""
    try:
        if os.readlink("/proc/%d/exe" % pid) != os.path.realpath(executable):
            return 0
        with open("/proc/%d/status" % pid) as handle:
            for line in handle:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def ctx_timeout(ctx, base, per_mib):
    return base + per_mib * ctx[1] / (1024 * 1024)


def commit():
    head = subprocess.run(["git", "-C", TOP, "rev-parse", "--short", "HEAD"], capture_output=True, text=True).stdout.strip()
    dirty = subprocess.run(["git", "-C", TOP, "status", "--porcelain", "--untracked-files=no"],
                           capture_output=True, text=True).stdout.strip()
    return head + (" (with uncommitted changes)" if dirty else "")


def describe_binaries():
    """Which build is measured: build/dist may be older than the checked-out commit."""
    parts = []
    for name in ("build/dist/setup-stub.exe", "build/dist/mkinstaller"):
        path = os.path.join(TOP, name)
        with open(path, "rb") as handle:
            digest = hashlib.sha256(handle.read()).hexdigest()[:12]
        built = datetime.datetime.fromtimestamp(os.path.getmtime(path), datetime.timezone.utc)
        parts.append("%s sha256 %s built %s UTC" % (name, digest, built.strftime("%Y-%m-%d %H:%M")))
    version = subprocess.run(["makensis", "-VERSION"], capture_output=True, text=True).stdout.strip()
    wine = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    return "; ".join(parts) + "; makensis %s; %s" % (version, wine)


def write_nsi(path, payload, out_exe):
    """The NSIS side: the same files into the same folder, an uninstaller, an uninstall entry
    and a desktop shortcut, all removed again by the uninstaller. zlib is deflate, as in our ZIP
    payload. Written in UTF-8 with a byte order mark, which makensis reads as UTF-8."""
    def quoted(text):
        return '"' + text.replace("$", "$$").replace('"', '$\\"') + '"'
    key = NSIS_KEY.split("\\", 1)[1]
    lines = [
        "Unicode true",
        "SetCompressor zlib",
        "RequestExecutionLevel admin",
        "Name " + quoted(PRODUCT),
        "OutFile " + quoted(out_exe),
        r'InstallDir "$PROGRAMFILES\lumetra(ios)"',
        "Page directory",
        "Page instfiles",
        "UninstPage uninstConfirm",
        "UninstPage instfiles",
        'Section "Install"',
        '  SetOutPath "$INSTDIR"',
        "  File /r " + quoted(os.path.join(payload, "*")),
        '  WriteUninstaller "$INSTDIR\\%s"' % NSIS_UNINSTALLER,
        '  WriteRegStr HKLM "%s" "DisplayName" %s' % (key, quoted(PRODUCT)),
        '  WriteRegStr HKLM "%s" "UninstallString" \'"$INSTDIR\\%s"\'' % (key, NSIS_UNINSTALLER),
        '  WriteRegStr HKLM "%s" "DisplayIcon" "$INSTDIR\\%s"' % (key, PROGRAM),
        '  CreateShortcut "$DESKTOP\\%s.lnk" "$INSTDIR\\%s"' % (PRODUCT, PROGRAM),
        "SectionEnd",
        'Section "Uninstall"',
        '  Delete "$DESKTOP\\%s.lnk"' % PRODUCT,
        '  DeleteRegKey HKLM "%s"' % key,
        '  RMDir /r "$INSTDIR"',
        "SectionEnd",
    ]
    with open(path, "w", encoding="utf-8-sig", newline="\n") as handle:
        handle.write("\n".join(lines) + "\n")


def extract_payload_zip(installer, out_path):
    """Copies the ZIP archive out of an installer: T sits just before the PE header, then come
    L, the configuration, Z and the archive (package/package_trailer.h)."""
    with open(installer, "rb") as source:
        head = source.read(64)
        pe_offset = int.from_bytes(head[60:64], "little")
        source.seek(pe_offset - 4)
        trailer = int.from_bytes(source.read(4), "little")
        source.seek(trailer)
        config_length = int.from_bytes(source.read(4), "little")
        source.seek(trailer + 4 + config_length)
        remaining = int.from_bytes(source.read(4), "little")
        with open(out_path, "wb") as out:
            while remaining > 0:
                chunk = source.read(min(remaining, 1 << 22))
                if not chunk:
                    raise RuntimeError("%s ends inside its payload" % installer)
                out.write(chunk)
                remaining -= len(chunk)


def summary(values):
    if not values:
        return None
    return statistics.median(values), min(values), max(values)


def fmt(stats, scale=1.0, digits=2):
    if stats is None:
        return "failed"
    median, low, high = (v * scale for v in stats)
    return "%.*f (%.*f–%.*f)" % (digits, median, digits, low, digits, high)


def ratio(a, b):
    if a is None or b is None or b[0] == 0:
        return "–"
    return "%.2f" % (a[0] / b[0])


def report(records, runs):
    out = []
    labels = []
    for row in records:
        if row["size"] not in labels:
            labels.append(row["size"])
    for label in labels:
        rows = [r for r in records if r["size"] == label]

        def pick(system, phase, field="seconds"):
            return [float(r[field]) for r in rows if r["system"] == system and r["phase"] == phase
                    and r["ok"] and r[field] not in ("", None) and r["round"] > 0]

        def count(system, phase):
            measured = [r for r in rows if r["system"] == system and r["phase"] == phase and r["round"] > 0]
            return "%d/%d" % (sum(1 for r in measured if r["ok"]), len(measured))

        first = rows[0]
        sizes = {r["system"]: r["output_bytes"] for r in rows if r["phase"] == "pack"}
        packs = {r["system"]: float(r["seconds"]) for r in rows if r["phase"] == "pack" and r["seconds"]}
        out.append("### %s: %s bytes in %s files" % (label, format(int(first["size_bytes"]), ","), first["files"]))
        out.append("")
        out.append("| measure | ours: median (min–max) | NSIS: median (min–max) | ours / NSIS | unzip -q |")
        out.append("|---|---|---|---|---|")
        lines = [
            ("install, wall (s)", "install", "seconds", 1.0, 2, True),
            ("install, click → completion (s)", "install", "interaction_seconds", 1.0, 2, False),
            ("peak memory, VmHWM (MiB)", "install", "vmhwm_kb", 1 / 1024, 1, True),
            ("first painted frame (s)", "paint", "seconds", 1.0, 2, False),
            ("uninstall, wall (s)", "uninstall", "seconds", 1.0, 2, False),
            ("uninstall, click → farewell (s)", "uninstall", "interaction_seconds", 1.0, 2, False),
        ]
        for title, phase, field, scale, digits, with_unzip in lines:
            ours = summary(pick("ours", phase, field))
            nsis = summary(pick("nsis", phase, field))
            scaled = lambda s: None if s is None else tuple(v * scale for v in s)  # noqa: E731
            nsis_text = fmt(nsis, scale, digits) if nsis or field != "interaction_seconds" else "–"
            unzip = fmt(summary(pick("unzip", phase, field)), scale, digits) if with_unzip else "–"
            out.append("| %s | %s | %s | %s | %s |" % (title, fmt(ours, scale, digits), nsis_text,
                                                        ratio(scaled(ours), scaled(nsis)), unzip))
        out.append("| runs that passed the checks (install / uninstall / paint) | %s / %s / %s | %s / %s / %s | | %s |" % (
            count("ours", "install"), count("ours", "uninstall"), count("ours", "paint"),
            count("nsis", "install"), count("nsis", "uninstall"), count("nsis", "paint"), count("unzip", "install")))
        if sizes:
            out.append("| installer size (MB) | %.2f | %.2f | %s | %.2f (ZIP) |" % (
                int(sizes.get("ours", 0)) / 1e6, int(sizes.get("nsis", 0)) / 1e6,
                "%.2f" % (int(sizes["ours"]) / int(sizes["nsis"])) if sizes.get("nsis") else "–",
                int(sizes.get("unzip", 0) or 0) / 1e6))
            out.append("| packing time (s) | %.2f | %.2f | %.2f | – |" % (
                packs.get("ours", 0), packs.get("nsis", 0),
                packs["ours"] / packs["nsis"] if packs.get("nsis") else 0))
        failures = [r for r in rows if not r["ok"] and r["round"] > 0]
        if failures:
            out.append("")
            out.append("Failed runs:")
            for r in failures:
                out.append("- %s %s round %d: %s" % (r["system"], r["phase"], r["round"], r["note"]))
        out.append("")
    return "\n".join(out)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--sizes", default="10M,100M,1G", help="payload sizes, comma-separated (K, M, G suffixes)")
    parser.add_argument("--runs", type=int, default=5, help="counted rounds per size")
    parser.add_argument("--seed", type=int, default=1, help="payload seed")
    parser.add_argument("--files", default="", help="file counts per size, comma-separated (default: one per 256 KiB, 100..4000)")
    parser.add_argument("--display", default=":77", help="X display; Xvfb is started on it when none runs there")
    parser.add_argument("--work", default=os.path.join(TOP, "build", "bench"))
    parser.add_argument("--prefix", default=os.path.join(TOP, "build", "bench-prefix"))
    parser.add_argument("--home", default=os.path.join(TOP, "build", "bench-home"))
    args = parser.parse_args(argv)
    for path in ("build/dist/mkinstaller", "build/dist/setup-stub.exe"):
        if not os.path.exists(os.path.join(TOP, path)):
            raise SystemExit("run_bench: %s is missing; run scripts/build first" % path)
    Bench(args).main()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
