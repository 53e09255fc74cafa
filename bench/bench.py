#!/usr/bin/env python3
"""Measures the program against its baselines and prints the table; scripts/bench.sh
prepares the display, window manager and Wine prefix and calls it.
usage: bench.py ROOT PROGRAM BENCH_DIR

Every figure is paired: each run measures the program and its baseline one right after
the other (in alternating order), the table shows the medians of both and the median of
the per-run ratio or difference, so a burst of load from elsewhere on the machine hits
both sides of a pair instead of only one.
"""
import ctypes
import json
import os
import re
import select
import statistics
import subprocess
import sys
import time


RUNS = int(os.environ.get("BENCH_RUNS", "15"))
IDLE_SECONDS = float(os.environ.get("BENCH_IDLE_SECONDS", "60"))
SETTLE = 1.0  # seconds after the dialog answers before its memory is read
STORE = r"HKCU\Software\Corvane Studio\qzTetherly"
MAIN = "Corvane Tetherly 1.2"
BASE_DIALOG = "Bench minimal dialog"
WM_COMMAND, IDCANCEL = 0x0111, 2
CTRL_ALT, VK_K, VK_L = 3, 0x4B, 0x4C
TICK = os.sysconf("SC_CLK_TCK")


class BenchError(Exception):
    pass


class XInput:
    """Raw XTEST key events on the display, with no process start between them."""

    def __init__(self):
        self.x, self.t = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.dpy = ctypes.c_void_p(self.x.XOpenDisplay(None))
        if not self.dpy.value:
            raise BenchError("cannot open the X display")


def wine(args, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL):
    return subprocess.Popen(["wine"] + [str(a) for a in args], stdin=stdin, stdout=stdout,
                            stderr=subprocess.DEVNULL)


def resource_id(root, name):
    """A command id from the program's resource.h, so the bench follows it."""
    with open(os.path.join(root, "res", "resource.h")) as f:
        found = re.search(r"#define\s+%s\s+(\d+)" % name, f.read())
    if not found:
        raise BenchError("no %s in res/resource.h" % name)
    return int(found.group(1))


def cpu_ms(pid):
    """User plus system time of the process so far, threads that ended included."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) * 1000.0 / TICK


def run_ns(pid):
    """Nanoseconds on a CPU of the process's live threads (finer than cpu_ms's ticks)."""
    total = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/schedstat" % (pid, task)) as f:
                total += int(f.read().split()[0])
        except FileNotFoundError:
            pass  # the thread ended meanwhile
    return total


def rss_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise BenchError("no VmRSS for %d" % pid)


class Watch:
    """The observer (watch.exe): a foreground window, and timed answers on one clock."""

    def __init__(self, exe):
        self.proc = wine([exe], stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        self.xid = self.line(30)
        # Wine's performance counter reads CLOCK_MONOTONIC_RAW, or CLOCK_MONOTONIC without it.
        for clock in (time.CLOCK_MONOTONIC_RAW, time.CLOCK_MONOTONIC):
            before = time.clock_gettime_ns(clock) // 1000
            now = int(self.ask("now"))
            if before <= now <= time.clock_gettime_ns(clock) // 1000:
                self.clock = clock
                return
        raise BenchError("the observer's clock is neither monotonic clock")

    def now(self):
        return time.clock_gettime_ns(self.clock) // 1000

    def line(self, timeout=35):
        if not select.select([self.proc.stdout], [], [], timeout)[0]:
            raise BenchError("no answer from the observer")
        text = self.proc.stdout.readline().decode().strip()
        if not text or text in ("timeout", "none", "unknown"):
            raise BenchError("observer: %r" % text)
        return text

    def ask(self, command):
        self.proc.stdin.write((command + "\n").encode())
        self.proc.stdin.flush()
        return self.line()

    def activate(self):
        """Brings the observer's window to the front, where the hot key is pressed."""
        subprocess.run(["xdotool", "windowactivate", "--sync", self.xid],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)

    def close(self):
        self.proc.stdin.close()
        self.proc.wait(10)


def median_pair(pairs, combine):
    ours, base = [p[0] for p in pairs], [p[1] for p in pairs]
    return statistics.median(ours), statistics.median(base), statistics.median(
        combine(o, b) for o, b in pairs)


def alternate(run, measure):
    """Both sides of one run, the program first in even runs and second in odd ones."""
    first, second = ("ours", "base") if run % 2 == 0 else ("base", "ours")
    got = {first: measure(first), second: measure(second)}
    return got["ours"], got["base"]


def startup(watch, program, quit_id, min_dialog, samples):
    """Process start until the dialog answers; CPU then, resident memory SETTLE later."""
    exes = {"ours": (program, MAIN, quit_id), "base": (min_dialog, BASE_DIALOG, IDCANCEL)}

    def measure(side):
        exe, title, quit_id = exes[side]
        started = watch.now()
        proc = wine([exe])
        answered = int(watch.ask("ready " + title))
        cpu = cpu_ms(proc.pid)
        time.sleep(SETTLE)
        rss = rss_kb(proc.pid)
        watch.ask("post %s %d %d" % (title, WM_COMMAND, quit_id))
        if proc.wait(15) != 0:
            raise BenchError("%s exited with %d" % (exe, proc.returncode))
        time.sleep(0.3)  # let the server and the tray forget the process
        return (answered - started) / 1000.0, cpu, rss

    alternate(0, measure)  # warm-up: the first starts in a new prefix are slower
    for run in range(RUNS):
        ours, base = alternate(run, measure)
        for i, name in enumerate(("startup", "startup_cpu", "rss")):
            samples[name].append((ours[i], base[i]))


def hotkey(watch, xi, program, bare, samples):
    """XTEST key press until the clip rectangle changes: Ctrl+Alt+L for the program,
    Ctrl+Alt+K for the bare program, both running, over the observer's window."""
    for name, value in (("HotKey", VK_L), ("Modifiers", CTRL_ALT)):
        subprocess.run(["wine", "reg", "add", STORE, "/v", name, "/t", "REG_DWORD", "/d",
                        str(value), "/f"], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=True)
    ours = wine([program])
    watch.ask("ready " + MAIN)
    watch.ask("post %s %d %d" % (MAIN, WM_COMMAND, IDCANCEL))  # hides it, registers the key
    base = wine([bare, CTRL_ALT, VK_K])
    time.sleep(1.0)
    watch.activate()
    time.sleep(0.5)
    code = {name: xi.x.XKeysymToKeycode(xi.dpy, xi.x.XStringToKeysym(name.encode()))
            for name in ("Control_L", "Alt_L", "l", "k")}
    clipped = {}

    def press(key):
        """One press of Ctrl+Alt+key: microseconds until the clip changed, and the new clip."""
        watch.ask("clip")
        for mod in ("Control_L", "Alt_L"):
            xi.t.XTestFakeKeyEvent(xi.dpy, code[mod], 1, 0)
            xi.x.XSync(xi.dpy, 0)
            time.sleep(0.02)
        pressed = watch.now()
        xi.t.XTestFakeKeyEvent(xi.dpy, code[key], 1, 0)
        xi.x.XSync(xi.dpy, 0)
        answer = watch.line(10).split()
        for name in (key, "Alt_L", "Control_L"):
            xi.t.XTestFakeKeyEvent(xi.dpy, code[name], 0, 0)
            xi.x.XSync(xi.dpy, 0)
            time.sleep(0.02)
        return (int(answer[0]) - pressed) / 1000.0, tuple(answer[1:])

    def measure(side):
        key = "l" if side == "ours" else "k"
        latency, rect = press(key)
        clipped.setdefault(rect, []).append(side)
        time.sleep(0.2)
        press(key)  # the lock off again
        time.sleep(0.2)
        return latency

    try:
        for run in range(RUNS):
            samples["hotkey"].append(alternate(run, measure))
    finally:
        base.kill()
        base.wait()
    if len(clipped) != 1:
        raise BenchError("the two programs clipped to different rectangles: %r" % clipped)
    return ours, lambda: press("l")


def idle(watch, ours, toggle, timer, samples):
    """CPU of the hidden program and of the bare timer program in the same consecutive
    windows of IDLE_SECONDS, after a few seconds to settle: each run one window with the
    lock off, then one with it on over the observer's still window."""
    base = wine([timer])
    try:
        time.sleep(5)
        for _ in range(RUNS):
            cpu = []
            for locked in (False, True):
                if locked:
                    watch.activate()
                    time.sleep(0.5)
                    toggle()  # on
                    time.sleep(1.0)  # the press's own cost settles
                before = (run_ns(ours.pid), run_ns(base.pid))
                time.sleep(IDLE_SECONDS)
                after = (run_ns(ours.pid), run_ns(base.pid))
                cpu.append(tuple((a - b) / 1e6 * 60 / IDLE_SECONDS for a, b in zip(after, before)))
                if locked:
                    toggle()  # off
            samples["idle"].append(cpu[0])
            samples["idle_locked"].append((cpu[1][0], cpu[0][0]))
    finally:
        base.kill()
        base.wait()


def machine():
    release = ""
    if os.path.exists("/etc/debian_version"):
        with open("/etc/debian_version") as f:
            release = "Debian " + f.read().strip()
    wine_version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout
    return "%d cores, %s, %s, Xvfb + openbox, load %.2f at start" % (
        os.cpu_count(), release, wine_version.strip(), os.getloadavg()[0])


def table(samples, sizes, header):
    ratio = lambda o, b: o / b  # noqa: E731
    diff = lambda o, b: o - b  # noqa: E731
    rows = [
        ("start-up to input, ms", "startup", ratio, "%.1f", "%.3fx", "<= 1.05x",
         lambda r: r <= 1.05),
        ("start-up CPU, ms", "startup_cpu", diff, "%.0f", "%+.0f ms", "", None),
        ("hot key to clip, ms", "hotkey", diff, "%.2f", "%+.2f ms", "<= +1 ms", lambda r: r <= 1),
        ("idle CPU, ms per minute", "idle", diff, "%.1f", "%+.1f ms", "<= +5 ms", lambda r: r <= 5),
        ("locked idle CPU, ms/min", "idle_locked", diff, "%.1f", "%+.1f ms", "<= +5 ms",
         lambda r: r <= 5),
        ("resident memory, KB", "rss", diff, "%.0f", "%+.0f KB", "<= +1024 KB",
         lambda r: r <= 1024),
    ]
    out = [header, "%-26s %12s %12s %12s %12s  %s" % (
        "figure (median)", "qzTetherly", "baseline", "result", "target", "met")]
    for label, key, combine, fmt, rfmt, target, ok in rows:
        if not samples[key]:
            continue
        ours, base, result = median_pair(samples[key], combine)
        out.append("%-26s %12s %12s %12s %12s  %s" % (
            label, fmt % ours, fmt % base, rfmt % result, target,
            "" if ok is None else ("yes" if ok(result) else "NO")))
    out.append("%-26s %12d %12d %12s %12s" % ("exe size, bytes", sizes[0], sizes[1],
                                              "%+d" % (sizes[0] - sizes[1]), ""))
    return "\n".join(out)


def main(argv):
    root, program, bench_dir = argv[1:4]
    exe = {name: os.path.join(bench_dir, "bench_%s.exe" % name)
           for name in ("min_dialog", "bare_hotkey", "bare_timer", "watch")}
    header = "%s, N=%d, idle windows %gs; %s" % (
        time.strftime("%Y-%m-%d"), RUNS, IDLE_SECONDS, machine())
    samples = {name: [] for name in ("startup", "startup_cpu", "rss", "hotkey", "idle",
                                     "idle_locked")}
    watch, ours, started = Watch(exe["watch"]), None, time.monotonic()
    try:
        subprocess.run(["wine", "reg", "delete", STORE, "/f"], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        startup(watch, program, resource_id(root, "ID_TRAY_QUIT"), exe["min_dialog"], samples)
        print("start-up done (%.0fs)" % (time.monotonic() - started), file=sys.stderr, flush=True)
        ours, toggle = hotkey(watch, XInput(), program, exe["bare_hotkey"], samples)
        print("hot key done (%.0fs)" % (time.monotonic() - started), file=sys.stderr, flush=True)
        idle(watch, ours, toggle, exe["bare_timer"], samples)
    finally:
        if ours is not None:
            ours.kill()
            ours.wait()
        watch.close()
    with open(os.path.join(bench_dir, "samples.json"), "w") as f:
        json.dump(samples, f, indent=1)
    sizes = (os.path.getsize(program), os.path.getsize(exe["min_dialog"]))
    print(table(samples, sizes, header + "; load %.2f at end, %.0f s" % (
        os.getloadavg()[0], time.monotonic() - started)))
    print("samples: " + os.path.join(bench_dir, "samples.json"))
    return 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except BenchError as err:
        print("bench: %s" % err, file=sys.stderr)
        sys.exit(1)
