#!/usr/bin/env python3
"""End-to-end scenarios: what only the shipped program on a real display shows, driven through
real X input and observed from outside with the probe. run.sh prepares display, WM and prefix."""
import os
import sys
import time

from harness import ID, MAIN, eq, run, until, xdotool

HOTKEY, LEFT, BOTTOM = ID["IDC_HOTKEY"], ID["IDC_LEFT"], ID["IDC_BOTTOM"]


def options_lock_and_tray_in_english(s):
    app = s.start(MAIN, [s.exe], "en_US.UTF-8")
    s.activate(MAIN)
    s.shot("options-en", MAIN)
    # Alt+F4 is captured rather than closing the dialog; typing in the integer boxes is filtered.
    for box, keys in [(HOTKEY, "Alt_L+F4 Control_L+Alt_L+k"), (LEFT, "End BackSpace minus a 1 0"),
                      (BOTTOM, "End BackSpace 5 period")]:
        s.click(s.rects("rect", MAIN, box)[0])
        s.keys(keys)
    s.click(s.rects("rect", MAIN, 1)[0])  # OK
    s.wait(MAIN, "hidden")
    eq(s.reg(), {"Version": "1.2", "HotKey": "75", "Modifiers": "3", "TuningLeft": "-10",
                 "TuningTop": "0", "TuningRight": "0", "TuningBottom": "5"}, "store after OK")

    # The hot key locks the cursor to the window in front, narrowed by 10 on the left and
    # widened by 5 below. Within a second the lock takes back the cursor another program freed
    # and follows the window as it moves and grows.
    def held():
        left, top, right, bottom = s.rects("rect", target, "client")[0]
        return s.rects("clip") == [(left + 10, top, right, bottom + 5)]

    target, screen = "E2E Target", [(0, 0, 1280, 800)]
    s.start(target, [s.probe_exe, "target", target, 700, 300, 450, 300])
    s.activate(target)
    s.keys("Control_L+Alt_L+k")
    until(held, 3, "the clip around the target")
    s.move(1275, 795)
    eq(s.pointer(), tuple(v - 1 for v in s.rects("clip")[0][2:]), "pointer held inside")
    for what, act in (("another program freed it",
                       lambda: eq(s.rects("clip", "free"), screen, "freed")),
                      ("it moved and grew around its old clip", lambda: xdotool(
                          "search", "--name", "^%s$" % target, "windowmove", 600, 250,
                          "windowsize", 700, 450))):
        act()
        started = time.monotonic()
        until(held, 3, "the clip around the target after " + what)
        took = time.monotonic() - started
        assert took < 1.0, "clip after %s came in %.2fs (at most one second)" % (what, took)
    s.keys("Control_L+Alt_L+k")
    until(lambda: s.rects("clip") == screen, 3, "clip released to the whole screen")

    eq(s.popen([s.exe]).wait(15), 0, "exit code of a second start")
    eq([s.probe("state", MAIN), len(s.tray())], ["hidden", 1], "first instance after a second start")
    # Away from the screen's edge, where nothing shifts the menu.
    xdotool("search", "--name", "^Wine System Tray$", "windowmove", "--sync", 1000, 40)
    until(lambda: s.tray()[0][0] > 900, 5, "the tray window moved")
    s.click_tray()
    left, top, right, bottom = until(lambda: s.rects("shown", "#32768"), 5, "the tray menu")[0]
    eq((right, top), s.pointer(), "the menu's top-right corner")
    s.choose(2)  # the maker's web site
    log = os.path.join(s.art, "browser.log")
    until(lambda: os.path.exists(log) and open(log).read().split(), 5, "the browser")
    eq(open(log).read().split(), ["https://www.corvane-studio.example/"], "address opened")
    s.click_tray()
    s.choose(3)  # Quit
    eq(app.wait(10), 0, "exit code after Quit")


def chinese_screen(s):
    zh = "CorvaneTetherly 1.2"  # the Chinese dialog's title
    s.start(zh, [s.exe], "zh_CN.UTF-8")
    s.activate(zh)
    s.shot("options-zh", zh)


if __name__ == "__main__":
    sys.exit(run([options_lock_and_tray_in_english, chinese_screen], sys.argv))
