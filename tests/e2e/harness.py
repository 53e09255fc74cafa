"""Plumbing of the end-to-end suite: raw X input, the probe, Wine processes, waits."""
import ctypes
import os
import select
import shutil
import subprocess
import time
import traceback
from collections import Counter

PIPE, NULL = subprocess.PIPE, subprocess.DEVNULL
MAIN = "Corvane Tetherly 1.2"


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
    while True:
        try:
            last = predicate()
            if last:
                return last
        except Failure as err:
            last = err
        if time.monotonic() > deadline:
            raise Failure("timed out after %gs waiting for %s (last: %s)" % (timeout, what, last))
        time.sleep(0.05)


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
        """Space-separated chords; "a+b" presses a, then b, and releases in reverse.
        "ButtonN" clicks mouse button N where the pointer is."""
        for chord in spec.split():
            if chord.startswith("Button"):
                self.click(int(chord[6:]))
                continue
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

    def click(self, button=1, at=None, times=1):
        if at:
            self.move(*at)
        for down in (1, 0) * times:
            self.t.XTestFakeButtonEvent(self.dpy, button, down, ctypes.c_ulong(0))
            self._sent()

    def pointer(self):
        out = [ctypes.c_ulong(), ctypes.c_ulong()] + [ctypes.c_int() for _ in range(4)]
        root = ctypes.c_ulong(self.x.XDefaultRootWindow(self.dpy))
        self.x.XQueryPointer(self.dpy, root, *map(ctypes.byref, out + [ctypes.c_uint()]))
        return out[2].value, out[3].value


class Suite:
    def __init__(self, root, arch, exe, probe, artifacts):
        self.root, self.arch, self.exe, self.probe_exe, self.art = root, arch, exe, probe, artifacts
        self.browser_log = os.path.join(artifacts, "browser.log")
        self.log = open(os.path.join(artifacts, "wine.log"), "ab")
        self.xi, self.procs = XInput(), []

    # C.UTF-8 for the probe: Wine then passes Chinese arguments through intact.
    def popen(self, args, locale="C.UTF-8", stdout=None):
        proc = subprocess.Popen(["wine"] + [str(a) for a in args], stdin=NULL, stderr=self.log,
                                env=dict(os.environ, LANG=locale, LC_ALL=locale),
                                stdout=stdout or self.log)
        self.procs.append(proc)
        return proc

    def probe(self, *args, check=True):
        """One probe command's output; None when it failed and check is off."""
        cmd = ["wine", self.probe_exe] + [str(a) for a in args]
        for _ in range(2):  # a silent failure is Wine not starting the process: once more
            r = subprocess.run(cmd, env=dict(os.environ, LANG="C.UTF-8", LC_ALL="C.UTF-8"),
                               stdin=NULL, capture_output=True, timeout=30)
            if r.returncode == 0 or r.stderr.strip():
                break
        if r.returncode == 0:
            return r.stdout.decode("utf-8", "replace").rstrip("\n")
        expect(not check, "%s: %s" % (" ".join(cmd[2:]), r.stderr.decode(errors="replace")))
        return None

    def spawn(self, *args):
        """Starts a probe command that runs on; returns its first line."""
        proc = self.popen([self.probe_exe] + list(args), stdout=PIPE)
        expect(select.select([proc.stdout], [], [], 15)[0], "no answer from " + args[0])
        return proc.stdout.readline().decode().strip()

    def start(self, locale="en_US.UTF-8", title=MAIN, wait=True):
        proc = self.popen([self.exe], locale)
        if wait:
            self.wait(title, "visible", 15)
        return proc

    def cleanup(self):
        for proc in self.procs:
            proc.kill()
            proc.wait()
        self.procs = []
        self.probe("unclip", check=False)
        self.probe("reg-clear", check=False)
        if os.path.exists(self.browser_log):
            os.remove(self.browser_log)

    # --- observations ---------------------------------------------------------

    def find(self, sel):
        """[handle, visible, enabled, foreground], the flags "1" or "0"; None when absent."""
        out = self.probe("find", sel, check=False)
        return out.split() if out else None

    def state(self, sel):
        found = self.find(sel)
        return "gone" if found is None else "visible" if found[1] == "1" else "hidden"

    def wait(self, sel, state, timeout=5):
        until(lambda: self.state(sel) == state, timeout, "%s %s" % (sel, state))

    def text(self, sel, *ctrls):
        texts = [self.probe("text", sel, ctrl) for ctrl in ctrls]
        return texts if len(texts) > 1 else texts[0]

    def rect(self, *args):
        return tuple(int(v) for v in self.probe("rect", *args).split())

    def hotkey(self, mods, vk):
        return self.probe("hotkey", mods, vk)

    def tray(self):
        return [tuple(map(int, line.split())) for line in self.probe("tray").splitlines()]

    def reg(self):
        return dict(line.split(" ", 1) for line in self.probe("reg").splitlines())

    def plant(self, **values):
        self.probe("reg-set", *("%s=%d" % item for item in values.items()))

    def owned(self, owner):
        return until(lambda: self.probe("owned", owner, check=False), 5, "a window over " + owner)

    def urls(self, count):
        def read():
            lines = []
            if os.path.exists(self.browser_log):
                with open(self.browser_log) as f:
                    lines = f.read().split()
            return lines if len(lines) >= count else None
        return until(read, 5, "%d browser start(s)" % count)

    def pixels(self, left, top, right, bottom):
        """The screen's pixels in a rectangle, as rows of (r, g, b)."""
        w = right - left
        raw = subprocess.run(["import", "-window", "root", "-crop", "%dx%d+%d+%d" % (
            w, bottom - top, left, top), "+repage", "-depth", "8", "rgb:-"],
            check=True, stdout=PIPE, stderr=NULL, timeout=30).stdout
        px = [tuple(raw[i:i + 3]) for i in range(0, len(raw), 3)]
        return [px[y * w:(y + 1) * w] for y in range(bottom - top)]

    def menu_items(self):
        """Centres of the shown popup menu's items: the bands between rows drawn mostly
        in one colour other than the background (borders and separators)."""
        left, top, right, bottom = self.rect("menu")
        rows = self.pixels(left, top, right, bottom)
        background = Counter(p for row in rows for p in row).most_common(1)[0][0]
        def is_line(row):
            top_colour = Counter(p for p in row if p != background).most_common(1)
            return bool(top_colour) and top_colour[0][1] >= 0.6 * len(row)
        centres, start = [], None
        for y, row in enumerate(rows + [[(0, 0, 0)] * (right - left)]):
            line = is_line(row)
            if line and start is not None:
                centres.append(((left + right) // 2, top + (start + y - 1) // 2))
            if line:
                start = None
            elif start is None:
                start = y
        return centres

    def link_point(self, sel, ctrl):
        """A point on the blue, underlined address of a link control."""
        left, top, right, bottom = self.rect(sel, ctrl)
        blue = [(x, y) for y, row in enumerate(self.pixels(left, top, right, bottom))
                for x, (r, _, b) in enumerate(row) if b > 150 and r < 100 and b - r > 80]
        expect(blue, "no link drawn in %s of %s" % (ctrl, sel))
        mid = len(blue) // 2
        return left + sorted(x for x, _ in blue)[mid], top + sorted(y for _, y in blue)[mid]

    # --- acting like a user -----------------------------------------------------

    def activate(self, sel):
        subprocess.run(["xdotool", "windowactivate", "--sync", self.probe("xid", sel)],
                       stdout=NULL, stderr=NULL, timeout=10)
        until(lambda: self.find(sel)[3] == "1", 5, sel + " in the foreground")

    def click(self, sel, ctrl, button=1):
        left, top, right, bottom = self.rect(sel, ctrl)
        self.xi.click(button, ((left + right) // 2, (top + bottom) // 2))

    def type_rows(self, sel, rows):
        """Rows of (control, keys, its text after them); a control is clicked when it
        differs from the previous row's. Reports every row that failed."""
        failures, last = [], None
        for ctrl, keys, want in rows:
            if ctrl != last:
                self.click(sel, ctrl)
                last = ctrl
            self.xi.keys(keys)
            try:
                until(lambda: self.text(sel, ctrl) == want, 2, "%r in %d" % (want, ctrl))
            except Failure:
                failures.append("%s -> %r, expected %r" % (keys, self.text(sel, ctrl), want))
        expect(not failures, "; ".join(failures))

    def click_tray(self, button=1, times=1):
        left, top, right, bottom = until(self.tray, 5, "a tray icon")[0]
        self.xi.click(button, ((left + right) // 2, (top + bottom) // 2), times)

    def choose(self, index, count=4):
        items = until(lambda: (lambda c: len(c) == count and c)(self.menu_items()), 5,
                      "a popup menu of %d items" % count)
        self.xi.click(1, items[index])

    def tray_menu(self, index):
        """Right-clicks the icon and chooses Option, About..., the maker's site or Quit."""
        self.click_tray(3)
        self.choose(index)

    def shot(self, name, sel=None, publish=False):
        """publish: also copied to docs/screenshots, from the x64 program only."""
        path = os.path.join(self.art, name + ".png")
        publish = publish and self.arch == "x64"
        if publish:
            self.xi.move(1270, 790)  # no button drawn hot under the pointer
        crop = []
        if sel:
            left, top, right, bottom = self.rect(sel)
            crop = ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(["import", "-window", "root"] + crop + [path], check=True, timeout=30)
        if publish:
            shutil.copyfile(path, os.path.join(self.root, "docs", "screenshots", name + ".png"))


def clip_holds(s):
    """Whether Wine really holds the pointer: its X driver refuses every clip without the
    XInput2 library (libxi6) of the program's architecture, while ClipCursor succeeds."""
    try:
        s.spawn("target", "E2E Clip", 200, 200, 300, 200, "clip")
        corner = s.rect("clip")[:2]
        return until(lambda: s.xi.move(5, 5) or s.xi.pointer() == corner, 2, "the clip")
    except Failure:
        return False
    finally:
        s.cleanup()


def run(scenarios, argv):
    """usage: scenarios.py ROOT ARCH EXE PROBE ARTIFACTS [NAME_PART]"""
    suite, wanted = Suite(*argv[1:6]), (argv[6:] or [""])[0]
    suite.cleanup()
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
        print("%-40s %s (%.1fs)" % (func.__name__, outcome, time.monotonic() - started), flush=True)
    print("%d passed, %d failed" % (passed, failed), flush=True)
    return 0 if failed == 0 and passed > 0 else 1
