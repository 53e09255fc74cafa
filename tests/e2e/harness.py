"""Plumbing of the end-to-end suite: X input through xdotool, the probe, Wine processes, waits."""
import os
import re
import subprocess
import time

NULL = subprocess.DEVNULL
MAIN = "Corvane Tetherly 1.2"
STORE = r"HKCU\Software\Corvane Studio\qzTetherly"
HERE = os.path.dirname(os.path.abspath(__file__))
# The program's own control and command ids, by name.
with open(os.path.join(HERE, "..", "..", "res", "resource.h")) as header:
    ID = {k: int(v) for k, v in re.findall(r"#define (ID\w+) (\d+)", header.read())}


def eq(actual, expected, what):
    assert actual == expected, "%s: expected %r, got %r" % (what, expected, actual)


def until(predicate, timeout, what):
    """Polls predicate until it returns a true value, and returns that."""
    deadline, last = time.monotonic() + timeout, None
    while time.monotonic() < deadline:
        try:
            last = predicate()
            if last:
                return last
        except AssertionError as err:
            last = err
        time.sleep(0.05)
    raise AssertionError("timed out after %gs waiting for %s (last: %s)" % (timeout, what, last))


def xdotool(*args):
    return subprocess.run(["xdotool"] + [str(a) for a in args], stdin=NULL, capture_output=True,
                          text=True, timeout=10).stdout


class Suite:
    def __init__(self, exe, probe, artifacts):
        self.exe, self.probe_exe, self.art = exe, probe, artifacts
        self.log = open(os.path.join(artifacts, "wine.log"), "ab")
        self.procs = []

    def popen(self, args, locale="C.UTF-8"):
        proc = subprocess.Popen(["wine"] + [str(a) for a in args], stdin=NULL, stdout=self.log,
                                stderr=self.log, env=dict(os.environ, LANG=locale, LC_ALL=locale))
        self.procs.append(proc)
        return proc

    def probe(self, *args):
        cmd = ["wine", self.probe_exe] + [str(a) for a in args]
        r = subprocess.run(cmd, stdin=NULL, capture_output=True, timeout=30)
        assert r.returncode == 0, "%s: %s" % (" ".join(cmd[2:]), r.stderr.decode(errors="replace"))
        return "\n".join(r.stdout.decode("utf-8", "replace").splitlines())

    def start(self, title, args, locale="C.UTF-8"):
        """Starts a program that shows the window titled `title`."""
        proc = self.popen(args, locale)
        self.wait(title, "visible", 15)
        return proc

    def cleanup(self):
        for proc in self.procs:
            proc.kill()
            proc.wait()
        self.procs = []

    def wait(self, sel, state, timeout=5):
        until(lambda: self.probe("state", sel) in (state, "foreground" * (state == "visible")),
              timeout, "%s %s" % (sel, state))

    def rects(self, *args):
        return [tuple(map(int, line.split())) for line in self.probe(*args).splitlines()]

    def reg(self):
        """The store's values, numbers in decimal (signed)."""
        out = subprocess.run(["wine", "reg", "query", STORE], stdin=NULL, capture_output=True,
                             text=True).stdout
        return {n: str(int(v, 16) - (int(v, 16) >> 31 << 32)) if t == "REG_DWORD" else v
                for n, t, v in re.findall(r"^\s+(\w+)\s+(REG_\w+)\s+(.*?)\r?$", out, re.M)}

    def activate(self, sel):
        xdotool("search", "--limit", "1", "--name", "^%s$" % sel, "windowactivate", "--sync")
        self.wait(sel, "foreground")

    def keys(self, spec):
        """Space-separated chords; "a+b" presses a, then b, and releases in reverse. Wine reads
        the key state per message: the events are kept apart."""
        for chord in spec.split():
            names = chord.split("+")
            xdotool("keydown", "--delay", 30, *names)
            xdotool("keyup", "--delay", 30, *names[::-1])

    def move(self, x, y):
        xdotool("mousemove", x, y)
        time.sleep(0.05)

    def pointer(self):
        return tuple(int(v) for v in re.findall(r"[xy]:(-?\d+)", xdotool("getmouselocation")))

    def click(self, rect, button=1):
        """Clicks the middle of the rectangle."""
        left, top, right, bottom = rect
        xdotool("mousemove", (left + right) // 2, (top + bottom) // 2, "click", button)

    def tray(self):
        return self.rects("shown", "-", "Wine System Tray")

    def click_tray(self):
        self.click(until(self.tray, 5, "a tray icon")[0], 3)

    def choose(self, index):
        """Clicks an item of the tray menu: Option, About..., the maker's site or Quit. The
        four items are evenly spaced, a separator between each two."""
        left, top, right, bottom = until(lambda: self.rects("shown", "#32768"), 5, "the tray menu")[0]
        y = top + 11 + index * (bottom - top - 22) // 3
        self.click((left, y, right, y))

    def shot(self, name, sel=None):
        """Written under the build tree; scripts/screenshots.sh publishes the chosen ones."""
        crop = []
        if sel:
            left, top, right, bottom = self.rects("rect", sel)[0]
            crop = ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(["import", "-window", "root"] + crop +
                       [os.path.join(self.art, name + ".png")], check=True, timeout=30)


def run(scenarios, argv):
    """usage: scenarios.py EXE PROBE ARTIFACTS [NAME_PART]; stops at the first failure."""
    suite, wanted = Suite(*argv[1:4]), (argv[4:] or [""])[0]
    chosen = [func for func in scenarios if wanted in func.__name__]
    assert chosen, "no scenario named like " + wanted
    for func in chosen:
        started = time.monotonic()
        try:
            func(suite)
        except Exception:
            suite.shot("failed-" + func.__name__)
            raise
        finally:
            suite.cleanup()
        print("%-34s PASS (%.1fs)" % (func.__name__, time.monotonic() - started), flush=True)
    return 0
