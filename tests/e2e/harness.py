"""Plumbing of the end-to-end suite: raw X input, the probe, Wine processes, waits."""
import ctypes
import os
import re
import select
import subprocess
import time
import traceback

NULL = subprocess.DEVNULL
MAIN = "Corvane Tetherly 1.2"
STORE = r"HKCU\Software\Corvane Studio\qzTetherly"
HERE = os.path.dirname(os.path.abspath(__file__))
# The program's own control and command ids, by name.
with open(os.path.join(HERE, "..", "..", "res", "resource.h")) as header:
    ID = {k: int(v) for k, v in re.findall(r"#define (ID\w+) (\d+)", header.read())}


class Failure(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Failure(what)


def eq(actual, expected, what):
    expect(actual == expected, "%s: expected %r, got %r" % (what, expected, actual))


def until(predicate, timeout, what):
    """Polls predicate until it returns a true value, and returns that."""
    deadline, last = time.monotonic() + timeout, None
    while time.monotonic() < deadline:
        try:
            last = predicate()
            if last:
                return last
        except Failure as err:
            last = err
        time.sleep(0.05)
    raise Failure("timed out after %gs waiting for %s (last: %s)" % (timeout, what, last))


class XInput:
    """Raw XTEST events: keys go by keycode, so left and right modifiers stay apart."""

    def __init__(self):
        self.x, self.t = ctypes.CDLL("libX11.so.6"), ctypes.CDLL("libXtst.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XKeysymToKeycode.restype = ctypes.c_ubyte
        self.x.XDefaultRootWindow.restype = ctypes.c_ulong
        self.dpy = ctypes.c_void_p(self.x.XOpenDisplay(None))
        expect(self.dpy.value, "cannot open the X display")

    def _sent(self):
        self.x.XSync(self.dpy, 0)
        time.sleep(0.02)  # Wine reads the key state per message: keep events apart

    def keys(self, spec):
        """Space-separated chords; "a+b" presses a, then b, and releases in reverse."""
        for chord in spec.split():
            codes = [self.x.XKeysymToKeycode(self.dpy, ctypes.c_ulong(
                self.x.XStringToKeysym(name.encode()))) for name in chord.split("+")]
            expect(all(codes), "no keycode for " + chord)
            for down, order in ((1, codes), (0, codes[::-1])):
                for code in order:
                    self.t.XTestFakeKeyEvent(self.dpy, code, down, ctypes.c_ulong(0))
                    self._sent()

    def move(self, x, y):
        self.t.XTestFakeMotionEvent(self.dpy, -1, x, y, ctypes.c_ulong(0))
        self._sent()

    def click(self, button, at):
        self.move(*at)
        for down in (1, 0):
            self.t.XTestFakeButtonEvent(self.dpy, button, down, ctypes.c_ulong(0))
            self._sent()

    def pointer(self):
        out = [ctypes.c_ulong(), ctypes.c_ulong()] + [ctypes.c_int() for _ in range(4)]
        root = ctypes.c_ulong(self.x.XDefaultRootWindow(self.dpy))
        self.x.XQueryPointer(self.dpy, root, *map(ctypes.byref, out + [ctypes.c_uint()]))
        return out[2].value, out[3].value


class Suite:
    def __init__(self, arch, exe, probe, artifacts):
        self.arch, self.exe, self.probe_exe, self.art = arch, exe, probe, artifacts
        self.log = open(os.path.join(artifacts, "wine.log"), "ab")
        self.xi, self.procs = XInput(), []

    # C.UTF-8 for the probe: Wine then passes Chinese arguments through intact.
    def popen(self, args, locale="C.UTF-8", stdout=None):
        proc = subprocess.Popen(["wine"] + [str(a) for a in args], stdin=NULL, stderr=self.log,
                                env=dict(os.environ, LANG=locale, LC_ALL=locale),
                                stdout=stdout or self.log)
        self.procs.append(proc)
        return proc

    def probe(self, *args):
        cmd = ["wine", self.probe_exe] + [str(a) for a in args]
        r = subprocess.run(cmd, env=dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8"),
                           stdin=NULL, capture_output=True, timeout=30)
        expect(r.returncode == 0, "%s: %s" % (" ".join(cmd[2:]), r.stderr.decode(errors="replace")))
        return r.stdout.decode("utf-8", "replace").rstrip("\n")

    def spawn(self, *args):
        """Starts a probe command that runs on, once it has said it is ready."""
        proc = self.popen([self.probe_exe] + list(args), stdout=subprocess.PIPE)
        expect(select.select([proc.stdout], [], [], 15)[0], "no answer from " + args[0])
        return proc.stdout.readline().decode().strip()

    def start(self, locale="en_US.UTF-8", title=MAIN):
        proc = self.popen([self.exe], locale)
        self.wait(title, "visible", 15)
        return proc

    def cleanup(self):
        for proc in self.procs:
            proc.kill()
            proc.wait()
        self.procs = []
        self.probe("unclip")
        subprocess.run(["wine", "reg", "delete", STORE, "/f"], stdin=NULL, capture_output=True)

    def wait(self, sel, state, timeout=5):
        until(lambda: self.probe("state", sel) in (state, "foreground" * (state == "visible")),
              timeout, "%s %s" % (sel, state))

    def text(self, sel, *ids):
        return [self.probe("text", sel, i) for i in ids]

    def rect(self, *args):
        return tuple(int(v) for v in self.probe(*args).split())

    def reg(self):
        """The store's values, numbers in decimal (signed)."""
        out = subprocess.run(["wine", "reg", "query", STORE], stdin=NULL, capture_output=True,
                             text=True).stdout
        return {n: str(int(v, 16) - (int(v, 16) >> 31 << 32)) if t == "REG_DWORD" else v
                for n, t, v in re.findall(r"^\s+(\w+)\s+(REG_\w+)\s+(.*?)\r?$", out, re.M)}

    def plant(self, **values):
        for name, value in values.items():
            subprocess.run(["wine", "reg", "add", STORE, "/v", name, "/t", "REG_DWORD", "/d",
                            str(value & 0xFFFFFFFF), "/f"], stdin=NULL, capture_output=True)

    def tray(self):
        return [tuple(map(int, line.split())) for line in self.probe("tray").splitlines()]

    def activate(self, sel):
        xid = subprocess.run(["xdotool", "search", "--limit", "1", "--name", "^%s$" % sel],
                             capture_output=True, timeout=10).stdout.split()
        subprocess.run(["xdotool", "windowactivate", "--sync"] + xid, stdout=NULL, stderr=NULL,
                       timeout=10)
        until(lambda: self.probe("state", sel) == "foreground", 5, sel + " in the foreground")

    def click(self, sel, ctrl):
        left, top, right, bottom = self.rect("rect", sel, ctrl)
        self.xi.click(1, ((left + right) // 2, (top + bottom) // 2))

    def type_rows(self, sel, rows):
        """Rows of (control, keys, its text after them); reports every row that failed."""
        failures = []
        for ctrl, keys, want in rows:
            self.click(sel, ctrl)
            self.xi.keys(keys)
            try:
                until(lambda: self.text(sel, ctrl) == [want], 2, "%r in %d" % (want, ctrl))
            except Failure:
                failures.append("%s -> %r, expected %r" % (keys, self.text(sel, ctrl), want))
        expect(not failures, "; ".join(failures))

    def click_tray(self, button=1):
        left, top, right, bottom = until(self.tray, 5, "a tray icon")[0]
        self.xi.click(button, ((left + right) // 2, (top + bottom) // 2))

    def choose(self, index):
        """Clicks an item of the tray menu: Option, About..., the maker's site or Quit. The
        four items are evenly spaced, a separator between each two."""
        left, top, right, bottom = until(lambda: self.rect("menu"), 5, "the tray menu")
        self.xi.click(1, ((left + right) // 2, top + 11 + index * (bottom - top - 22) // 3))

    def shot(self, name, sel=None):
        """Written under the build tree; scripts/screenshots.sh publishes the chosen ones."""
        crop = []
        if sel:
            left, top, right, bottom = self.rect("rect", sel)
            crop = ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(["import", "-window", "root"] + crop +
                       [os.path.join(self.art, name + ".png")], check=True, timeout=30)


def clip_holds(s):
    """Whether Wine really holds the pointer: its X driver refuses every clip without the
    XInput2 library (libxi6) of the program's architecture, while ClipCursor succeeds."""
    try:
        s.spawn("target", "E2E Clip", 200, 200, 300, 200, "clip")
        s.activate("E2E Clip")
        corner = until(lambda: s.rect("clip")[:2] == (200, 200) and (200, 200), 5, "a clip")
        return until(lambda: s.xi.move(5, 5) or s.xi.pointer() == corner, 3, "the clip")
    except Failure:
        return False
    finally:
        s.cleanup()


def run(scenarios, argv):
    """usage: scenarios.py ARCH EXE PROBE ARTIFACTS [NAME_PART]"""
    suite, wanted = Suite(*argv[1:5]), (argv[5:] or [""])[0]
    if not clip_holds(suite):
        print("%s Wine cannot clip the cursor: is %s installed? (scripts/setup.sh installs it)"
              % {"x64": ("64-bit", "libxi6"), "x86": ("32-bit", "libxi6:i386")}[suite.arch])
        return 1
    passed = failed = 0
    for func in scenarios:
        if wanted not in func.__name__:
            continue
        started, outcome = time.monotonic(), "PASS"
        try:
            func(suite)
        except Failure as err:
            outcome = "FAIL: %s" % err
        except Exception:  # a broken step fails its scenario, not the suite
            outcome = "FAIL (error): " + traceback.format_exc()
        passed, failed = passed + (outcome == "PASS"), failed + (outcome != "PASS")
        if outcome != "PASS":
            suite.shot("failed-" + func.__name__)
        suite.cleanup()
        print("%-34s %s (%.1fs)" % (func.__name__, outcome, time.monotonic() - started), flush=True)
    print("%d passed, %d failed" % (passed, failed), flush=True)
    return 0 if failed == 0 and passed > 0 else 1
