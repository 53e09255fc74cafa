"""Plumbing of the end-to-end suite: Wine processes, the probe, X input, waits."""
import os
import re
import shutil
import subprocess
import time

from xinput import XInput


class Failure(Exception):
    pass


def expect(condition, message):
    if not condition:
        raise Failure(message)


def expect_eq(actual, expected, what):
    if actual != expected:
        raise Failure("%s: expected %r, got %r" % (what, expected, actual))


def until(predicate, timeout, what, interval=0.05):
    """Polls predicate until it returns a true value; returns that value."""
    deadline = time.monotonic() + timeout
    last = None
    while True:
        try:
            last = predicate()
        except Failure as err:
            last = err
        if last and not isinstance(last, Failure):
            return last
        if time.monotonic() >= deadline:
            raise Failure("timed out after %.1fs waiting for %s (last: %s)" % (timeout, what, last))
        time.sleep(interval)


class Lang:
    def __init__(self, name, locale, caption, about, ok, cancel, about_button, hotkey_failed):
        self.name = name
        self.locale = locale
        self.caption = caption
        self.about = about
        self.ok = ok
        self.cancel = cancel
        self.about_button = about_button
        self.hotkey_failed = hotkey_failed


ENGLISH = Lang("en", "en_US.UTF-8", "Corvane Tetherly 1.2", "About Corvane Tetherly", "OK",
               "Cancel", "About...",
               "Failed to register hot key. Perhaps it is used by other applications. "
               "Please use another key.")
CHINESE = Lang("zh", "zh_CN.UTF-8", "CorvaneTetherly 1.2", "关于 CorvaneTetherly", "确定", "取消",
               "关于...", "注册热键失败，可能该热键被其他程序占用。请换一个键。")
GERMAN = Lang("de", "de_DE.UTF-8", ENGLISH.caption, ENGLISH.about, ENGLISH.ok, ENGLISH.cancel,
              ENGLISH.about_button, ENGLISH.hotkey_failed)


class App:
    """One run of the program under Wine."""

    def __init__(self, env, exe, lang, log):
        self.lang = lang
        self.proc = subprocess.Popen(["wine", exe], env=env, stdin=subprocess.DEVNULL,
                                     stdout=log, stderr=log)

    def exit_code(self, timeout):
        try:
            return self.proc.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            raise Failure("program still running after %.1fs" % timeout)

    def running(self):
        return self.proc.poll() is None

    def kill(self):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()


class Suite:
    def __init__(self, root, exe, probe, artifacts, recorder_log):
        self.root = root
        self.exe = exe
        self.probe_exe = probe
        self.artifacts = artifacts
        self.recorder_log = recorder_log
        self.xi = XInput()
        self.spawned = []
        self.apps = []
        self.log = open(os.path.join(artifacts, "wine.log"), "ab")

    def note(self, text):
        with open(os.path.join(self.artifacts, "errors.log"), "a") as f:
            f.write(text + "\n")

    # --- Wine processes -------------------------------------------------

    def env(self, lang=ENGLISH):
        env = dict(os.environ)
        env["LANG"] = lang.locale
        env["LC_ALL"] = lang.locale
        return env

    def probe_env(self):
        # C.UTF-8 exists on every Debian system; Wine then passes Chinese
        # arguments through intact.
        env = dict(os.environ)
        env["LANG"] = env["LC_ALL"] = "C.UTF-8"
        return env

    def probe(self, *args, check=True, timeout=30):
        for attempt in (1, 2):
            result = subprocess.run(["wine", self.probe_exe] + [str(a) for a in args],
                                    env=self.probe_env(), stdin=subprocess.DEVNULL,
                                    stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                    timeout=timeout)
            # Every failure of the probe itself says why on stderr; a silent
            # non-zero exit is Wine failing to start the process: once more.
            if result.returncode == 0 or result.stderr.strip() or attempt == 2:
                break
            self.note("probe %s: silent exit %d, retried" % (args, result.returncode))
        out = result.stdout.decode("utf-8", "replace").rstrip("\n")
        if check and result.returncode != 0:
            raise Failure("probe %s failed (%d): %s" % (
                " ".join(str(a) for a in args), result.returncode,
                result.stderr.decode("utf-8", "replace").strip()))
        return out

    def probe_ok(self, *args):
        """True when the probe command succeeds (for polling)."""
        result = subprocess.run(["wine", self.probe_exe] + [str(a) for a in args],
                                env=self.probe_env(), stdin=subprocess.DEVNULL,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return result.returncode == 0

    def spawn_probe(self, *args, ready_timeout=15):
        """Starts a long-running probe command and waits for its first output line."""
        proc = subprocess.Popen(["wine", self.probe_exe] + [str(a) for a in args],
                                env=self.probe_env(), stdin=subprocess.DEVNULL,
                                stdout=subprocess.PIPE, stderr=self.log)
        self.spawned.append(proc)
        deadline = time.monotonic() + ready_timeout
        os.set_blocking(proc.stdout.fileno(), False)
        buf = b""
        while b"\n" not in buf:
            chunk = proc.stdout.read()
            if chunk:
                buf += chunk
            elif proc.poll() is not None:
                raise Failure("probe %s exited with %d" % (args[0], proc.returncode))
            if time.monotonic() > deadline:
                raise Failure("probe %s gave no answer" % args[0])
            time.sleep(0.02)
        return buf.decode("utf-8").split("\n")[0]

    def start_app(self, lang=ENGLISH, wait=True):
        app = App(self.env(lang), self.exe, lang, self.log)
        self.apps.append(app)
        if wait:
            self.probe("wait-visible", lang.caption, 15000)
        return app

    def cleanup(self):
        for proc in self.spawned:
            if proc.poll() is None:
                proc.kill()
            proc.wait()
        self.spawned = []
        for app in self.apps:
            app.kill()
        self.apps = []
        self.probe("unclip", check=False)
        self.probe("reg-clear", check=False)
        if os.path.exists(self.recorder_log):
            os.remove(self.recorder_log)

    # --- observations ---------------------------------------------------

    def text(self, window, control):
        return self.probe("text", window, control)

    def visible(self, window):
        return self.probe("visible", window) == "1"

    def rect(self, kind, *args):
        return tuple(int(v) for v in self.probe(kind, *args).split())

    def clip(self):
        return self.rect("clip")

    def hotkey_state(self, mods, vk):
        return self.probe("hotkey-free", mods, vk)

    def tray_icons(self):
        lines = self.probe("tray-icons").split("\n")
        return [tuple(int(v) for v in line.split()) for line in lines[1:] if line.strip()]

    def registry(self):
        """All values of the program's key as {name: "TYPE data"}; {} when the key is absent."""
        out = self.probe("reg")
        if out in ("", "absent"):
            return {}
        values = {}
        for line in out.split("\n"):
            name, _, rest = line.partition(" ")
            values[name] = rest
        return values

    def owned_windows(self, owner):
        out = self.probe("owned", owner)
        rows = []
        for line in out.split("\n"):
            if line.strip():
                hwnd, cls, vis, enabled, title = (line.split("\t") + [""] * 5)[:5]
                rows.append({"hwnd": hwnd, "class": cls, "visible": vis == "visible",
                             "enabled": enabled == "enabled", "title": title})
        return rows

    def message_box(self, owner, timeout=5):
        """Waits for a visible dialog-class window owned by owner; returns its handle."""
        def find():
            for row in self.owned_windows(owner):
                if row["class"] == "#32770" and row["visible"]:
                    return row["hwnd"]
            return None
        return until(find, timeout, "a message box owned by %s" % owner)

    def recorded_urls(self, count, timeout=5):
        def read():
            if not os.path.exists(self.recorder_log):
                return None
            with open(self.recorder_log) as f:
                lines = [line.strip() for line in f if line.strip()]
            return lines if len(lines) >= count else None
        return until(read, timeout, "%d browser start(s)" % count)

    # --- acting like a user ---------------------------------------------

    def activate(self, window):
        xid = self.probe("xid", window)
        subprocess.run(["xdotool", "windowactivate", "--sync", xid], check=False,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=10)
        until(lambda: self.probe("foreground").split("\t")[0] == self.probe("find", window),
              5, "%s in the foreground" % window)

    def click_control(self, window, control, button=1):
        left, top, right, bottom = self.rect("ctrl-rect", window, control)
        self.xi.click(button, (left + right) // 2, (top + bottom) // 2)

    def click_at(self, x, y, button=1):
        self.xi.click(button, x, y)

    def click_tray(self, button=1, double=False):
        icons = until(self.tray_icons, 5, "a tray icon")
        left, top, right, bottom = icons[0]
        self.xi.move((left + right) // 2, (top + bottom) // 2)
        self.xi.button_down(button)
        self.xi.button_up(button)
        if double:
            self.xi.button_down(button)
            self.xi.button_up(button)

    def pixels(self, left, top, right, bottom):
        """The screen's pixels in a rectangle, as rows of (r, g, b)."""
        w, h = right - left, bottom - top
        out = subprocess.run(["import", "-window", "root", "-crop",
                              "%dx%d+%d+%d" % (w, h, left, top), "+repage", "-depth", "8",
                              "txt:-"],
                             check=True, timeout=30, stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL).stdout.decode()
        rows = [[(255, 255, 255)] * w for _ in range(h)]
        for line in out.splitlines():
            m = re.match(r"(\d+),(\d+): \((\d+),(\d+),(\d+)", line)
            if m:
                x, y, r, g, b = (int(v) for v in m.groups())
                if x < w and y < h:
                    rows[y][x] = (r, g, b)
        return rows

    def menu_items(self):
        """Centres of the shown popup menu's items, top to bottom.

        Separators and borders are rows drawn mostly in one colour that is not
        the menu's background; the items are the bands between them."""
        left, top, right, bottom = self.rect("menu-rect")
        rows = self.pixels(left, top, right, bottom)
        counts = {}
        for row in rows:
            for px in row:
                counts[px] = counts.get(px, 0) + 1
        background = max(counts, key=counts.get)
        def is_line(row):
            tally = {}
            for px in row:
                if px != background:
                    tally[px] = tally.get(px, 0) + 1
            return bool(tally) and max(tally.values()) >= 0.6 * len(row)
        centres, start = [], None
        for y, row in enumerate(rows + [[(0, 0, 0)] * (right - left)]):
            if is_line(row):
                if start is not None:
                    centres.append(((left + right) // 2, top + (start + y - 1) // 2))
                start = None
            elif start is None:
                start = y
        return centres

    def choose_menu_item(self, index, count=4):
        items = until(lambda: (lambda c: c if len(c) == count else None)(self.menu_items()),
                      5, "a popup menu with %d items" % count)
        self.xi.click(1, *items[index])

    def link_point(self, window, control):
        """A point on the underlined address of a link control (its blue pixels)."""
        left, top, right, bottom = self.rect("ctrl-rect", window, control)
        rows = self.pixels(left, top, right, bottom)
        blue = [(x, y) for y, row in enumerate(rows) for x, (r, g, b) in enumerate(row)
                if b > 150 and r < 100 and b - r > 80]
        expect(blue, "no link drawn in control %s of %s" % (control, window))
        xs = sorted(x for x, _ in blue)
        ys = sorted(y for _, y in blue)
        return left + xs[len(xs) // 2], top + ys[len(ys) // 2]

    def screenshot(self, name, window=None):
        path = os.path.join(self.artifacts, name + ".png")
        cmd = ["import", "-window", "root"]
        if window is not None:
            left, top, right, bottom = self.rect("window-rect", window)
            cmd += ["-crop", "%dx%d+%d+%d" % (right - left, bottom - top, left, top), "+repage"]
        subprocess.run(cmd + [path], check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return path

    def publish(self, shot, name):
        target = os.path.join(self.root, "docs", "screenshots", name)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copyfile(shot, target)
