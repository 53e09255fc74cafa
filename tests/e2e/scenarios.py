#!/usr/bin/env python3
"""End-to-end scenarios: the shipped program driven through real X input and observed
from outside with the probe. run.sh prepares the display, window manager and prefix."""
import subprocess
import sys
import time

from harness import MAIN, eq, expect, run, until

ABOUT = "About Corvane Tetherly"
FAILED = ("Failed to register hot key. Perhaps it is used by other applications. "
          "Please use another key.")
URL = "https://www.corvane-studio.example"
SITE = [URL + "/"]  # winebrowser hands the address on with the root path added
ALT, CTRL, SHIFT = 1, 2, 4
VK_K, VK_L, VK_M = 0x4B, 0x4C, 0x4D
CAPTURE, LINK, ABOUT_BUTTON, MESSAGE_TEXT = 1001, 1006, 57664, 65535
BOXES = range(1001, 1006)  # the capture box, then left, top, right, bottom
WM_COMMAND, ID_OPTION, ID_ABOUT = 0x0111, 2001, 2003
SCREEN = (0, 0, 1280, 800)
SCENARIOS = []


def scenario(func):
    SCENARIOS.append(func)
    return func


def ok(s, sel=MAIN):
    s.activate(sel)
    s.click(sel, 1)


def cancel(s):
    s.activate(MAIN)
    s.click(MAIN, 2)
    s.wait(MAIN, "hidden")


def start_hidden(s):
    """Runs the program with Ctrl+Alt+L stored and its dialog cancelled."""
    s.plant(HotKey=VK_L, Modifiers=CTRL | ALT)
    app = s.start()
    cancel(s)
    eq(s.hotkey(CTRL | ALT, VK_L), "held", "stored hot key once the dialog is hidden")
    return app


def dismiss_warnings(s, owner, text):
    """Dismisses the warnings over owner (key 0 may be refused again) until owner hides."""
    def step():
        box = s.probe("owned", owner, check=False)
        if box:
            eq(s.text(box, MESSAGE_TEXT), text, "warning text")
            s.probe("post", box, WM_COMMAND, 1, 0)
            s.wait(box, "gone")
        return not box and s.state(owner) == "hidden"
    until(step, 10, owner + " hidden")


# Control, keys, its text after them; neighbouring texts differ so lost keys show.
INPUT_ROWS = [
    (CAPTURE, "Control_L", "LCtrl"), (CAPTURE, "Control_R", "RCtrl"),
    (CAPTURE, "Shift_L", "LShift"), (CAPTURE, "Shift_R", "RShift"),
    (CAPTURE, "Alt_L", "LAlt"), (CAPTURE, "Alt_R", "RAlt"),
    (CAPTURE, "Control_L+Alt_L+a", "Ctrl+Alt+A"), (CAPTURE, "Shift_L+Control_R", "Shift+RCtrl"),
    (CAPTURE, "Alt_L+F4", "Alt+F4"), (CAPTURE, "Shift_L+Insert", "Shift+Insert"),
    (CAPTURE, "F10", "F10"), (CAPTURE, "Button3 Delete", "Delete"),
    # The integer box swallows all but digits and a leading minus; a passing key follows.
    (1002, "End BackSpace minus 5", "-5"),
    (1002, "a period Z space KP_Add Shift_L+a 9", "-59"),
    (1002, "Home Delete", "59"), (1002, "minus", "-59"), (1002, "Button3 End 7", "-597"),
    (1004, "End BackSpace minus 2 0", "-20"), (1005, "End BackSpace 5", "5"),
    (CAPTURE, "Control_L+Alt_L+k", "Ctrl+Alt+K"),
]


@scenario
def first_run_input_and_ok(s):
    app = s.start()
    eq(s.probe("count", MAIN), "1", "main dialogs")
    eq(s.text(MAIN, *BOXES), ["", "0", "0", "0", "0"], "boxes on first run")
    eq(len(s.tray()), 1, "tray icons")
    eq(s.reg(), {}, "store after start-up")
    s.activate(MAIN)
    s.shot("options-en", MAIN, publish=True)
    s.type_rows(MAIN, INPUT_ROWS)
    eq([app.poll(), s.state(MAIN)], [None, "visible"], "program and dialog after Alt+F4")
    eq(s.probe("rect", "menu", check=False), None, "context menu after right clicks")
    eq(s.hotkey(CTRL | ALT, VK_K), "free", "Ctrl+Alt+K before OK")
    ok(s)
    s.wait(MAIN, "hidden")
    eq(s.reg(), {"Version": "REG_SZ 8 1.2", "HotKey": "REG_DWORD 0x4b",
                 "Modifiers": "REG_DWORD 0x3", "TuningLeft": "REG_DWORD 0xfffffdab",
                 "TuningTop": "REG_DWORD 0x0", "TuningRight": "REG_DWORD 0xffffffec",
                 "TuningBottom": "REG_DWORD 0x5"}, "store after OK")
    eq(s.hotkey(CTRL | ALT, VK_K), "held", "Ctrl+Alt+K after OK")
    eq(s.probe("owned", MAIN, check=False), None, "window shown over the dialog after OK")


@scenario
def planted_store_and_second_instance(s):
    # HotKey above 255 shows its low 8 bits; 0x4009 is Alt, Win and a non-modifier bit.
    s.plant(HotKey=0x141, Modifiers=0x4009, TuningLeft=10, TuningTop=0, TuningRight=-20,
            TuningBottom=5)
    before = s.reg()
    first = s.start()
    eq(s.text(MAIN, *BOXES), ["Alt+Win+A", "10", "0", "-20", "5"], "boxes from the store")
    eq(s.reg(), before, "store after start-up")
    s.activate(MAIN)
    s.type_rows(MAIN, [(CAPTURE, "F9", "F9")])
    handle = s.find(MAIN)[0]
    eq(s.start(wait=False).wait(15), 0, "exit code of a second instance")
    eq(s.probe("count", MAIN), "1", "main dialogs after a second start")
    eq(s.find(MAIN)[:2], [handle, "1"], "first instance's dialog, shown")
    eq([s.text(MAIN, CAPTURE), len(s.tray())], ["F9", 1], "capture box and tray icons")
    expect(first.poll() is None, "first instance still runs")


@scenario
def ok_without_key_warns_then_saves(s):
    s.start()
    ok(s)
    eq(s.text(s.owned(MAIN), MESSAGE_TEXT), FAILED, "warning text")
    eq(s.reg(), {}, "store while the warning is shown")
    eq(s.state(MAIN), "visible", "dialog shown until the warning is dismissed")
    dismiss_warnings(s, MAIN, FAILED)
    zeros = {name: "REG_DWORD 0x0" for name in ("HotKey", "Modifiers", "TuningLeft",
                                                 "TuningTop", "TuningRight", "TuningBottom")}
    eq(s.reg(), dict(zeros, Version="REG_SZ 8 1.2"), "store after OK without a key")


@scenario
def ok_with_combination_held_elsewhere(s):
    s.start()
    s.activate(MAIN)
    s.type_rows(MAIN, [(CAPTURE, "Control_L+Alt_L+k", "Ctrl+Alt+K")])
    # Taken after capture: while held, the keys would reach the holder, not the box.
    eq(s.spawn("hold", CTRL | ALT, VK_K), "holding", "another program holds Ctrl+Alt+K")
    ok(s)
    box = s.owned(MAIN)
    eq(s.text(box, MESSAGE_TEXT), FAILED, "warning text")
    eq([s.reg().get("HotKey"), s.reg().get("Modifiers")], ["REG_DWORD 0x4b", "REG_DWORD 0x3"],
       "settings saved before the warning")
    s.probe("post", box, WM_COMMAND, 1, 0)
    s.wait(MAIN, "hidden")
    eq(s.probe("owned", MAIN, check=False), None, "window left over the dialog")
    holder = s.procs.pop()
    holder.kill()
    holder.wait()
    until(lambda: s.hotkey(CTRL | ALT, VK_K) == "free", 5, "Ctrl+Alt+K free after its holder")


@scenario
def cancel_and_escape_restore_the_stored_key(s):
    s.plant(HotKey=VK_L, Modifiers=CTRL | ALT, TuningLeft=1, TuningTop=2, TuningRight=3,
            TuningBottom=4)
    before = s.reg()
    s.start()
    eq(s.text(MAIN, *BOXES), ["Ctrl+Alt+L", "1", "2", "3", "4"], "boxes from the store")
    eq(s.hotkey(CTRL | ALT, VK_L), "free", "stored key while the dialog is shown")
    s.activate(MAIN)
    s.type_rows(MAIN, [(CAPTURE, "Control_L+Shift_L+m", "Ctrl+Shift+M"),
                       (1002, "End BackSpace 7 7", "77"), (1005, "End BackSpace minus 8", "-8")])
    cancel(s)
    eq(s.text(MAIN, *BOXES), ["Ctrl+Alt+L", "1", "2", "3", "4"], "boxes after Cancel")
    eq([s.reg(), s.hotkey(CTRL | ALT, VK_L), s.hotkey(CTRL | SHIFT, VK_M)],
       [before, "held", "free"], "store, stored key, edited key after Cancel")
    s.probe("post", MAIN, WM_COMMAND, ID_OPTION, 0)
    s.wait(MAIN, "visible")
    eq(s.hotkey(CTRL | ALT, VK_L), "free", "stored key while shown again")
    s.activate(MAIN)
    s.type_rows(MAIN, [(1003, "End 9", "29")])
    s.xi.keys("Escape")
    s.wait(MAIN, "hidden")
    eq([s.text(MAIN, 1003), s.reg(), s.hotkey(CTRL | ALT, VK_L)], ["2", before, "held"],
       "top box, store, stored key after Esc")


@scenario
def hot_key_locks_follows_and_unlocks(s):
    s.plant(HotKey=VK_K, Modifiers=CTRL | ALT, TuningLeft=10, TuningTop=0, TuningRight=-20,
            TuningBottom=5)
    s.start()
    s.activate(MAIN)
    # Dead while the dialog is shown: the box captures the combination instead.
    s.type_rows(MAIN, [(CAPTURE, "F5", "F5"), (CAPTURE, "Control_L+Alt_L+k", "Ctrl+Alt+K")])
    eq(s.rect("clip"), SCREEN, "clip after the hot key while the dialog is shown")
    cancel(s)

    def locked_around(title, geometry, keys=""):
        s.spawn("target", title, *geometry)
        s.activate(title)
        s.xi.keys(keys)
        switched = time.monotonic()
        left, top, right, bottom = s.rect(title, "client")
        clip = (left - 10, top, right - 20, bottom + 5)
        until(lambda: s.rect("clip") == clip, 3, "clip %r around %s" % (clip, title))
        return clip, time.monotonic() - switched

    a, _ = locked_around("E2E Target A", (120, 150, 520, 380), "Control_L+Alt_L+k")
    for to, held in (((1275, 795), (a[2] - 1, a[3] - 1)), ((2, 2), a[:2])):
        s.xi.move(*to)
        eq(s.xi.pointer(), held, "pointer moved towards %r" % (to,))
    b, followed = locked_around("E2E Target B", (700, 300, 450, 300))
    expect(followed < 1.0, "lock followed after %.2fs (at most one second)" % followed)
    s.xi.move(5, 5)
    eq(s.xi.pointer(), b[:2], "pointer held inside target B")
    s.xi.keys("Control_L+Alt_L+k")
    until(lambda: s.rect("clip") == SCREEN, 3, "clip released to the whole screen")
    s.xi.move(3, 4)
    eq(s.xi.pointer(), (3, 4), "pointer free after unlocking")


@scenario
def tray_clicks_show_the_dialog(s):
    start_hidden(s)
    for name, times in (("left click", 1), ("double click", 2)):
        s.click_tray(1, times)
        s.wait(MAIN, "visible")
        eq(s.hotkey(CTRL | ALT, VK_L), "free", "hot key after a tray " + name)
        cancel(s)
        eq(s.hotkey(CTRL | ALT, VK_L), "held", "hot key after Cancel")
    s.click_tray(1)
    s.wait(MAIN, "visible")
    s.click_tray(1)
    eq(s.state(MAIN), "visible", "dialog still shown after a second left click")
    cancel(s)
    # Away from the screen's edge nothing shifts the menu, and no window of the suite
    # covers this spot.
    subprocess.run(["xdotool", "windowmove", "--sync", s.probe("xid", "Wine System Tray"),
                    "1000", "40"], check=True, timeout=10)
    until(lambda: s.tray()[0][0] > 900, 5, "the tray window moved")
    s.click_tray(3)
    left, top, right, bottom = until(lambda: s.rect("menu"), 5, "the tray menu")
    eq((right, top), s.xi.pointer(), "the menu's top-right corner")
    s.shot("tray-menu-en")
    s.choose(0)
    s.wait(MAIN, "visible")
    eq(s.hotkey(CTRL | ALT, VK_L), "free", "hot key after the menu's Option")


@scenario
def about_box_and_web_site(s):
    s.start()
    s.activate(MAIN)
    s.xi.click(1, s.link_point(MAIN, LINK))
    eq(s.urls(1), SITE, "address from the dialog's link")
    s.click(MAIN, ABOUT_BUTTON)
    s.wait(ABOUT, "visible")
    eq(s.find(MAIN)[2], "0", "dialog enabled under the About box")
    main_rect, about_rect = s.rect(MAIN), s.rect(ABOUT)
    offsets = [abs(main_rect[i] + main_rect[i + 2] - about_rect[i] - about_rect[i + 2])
               for i in (0, 1)]
    expect(max(offsets) <= 2, "About box %r centred over %r" % (about_rect, main_rect))
    s.shot("about-en", ABOUT)
    s.probe("post", MAIN, WM_COMMAND, ID_ABOUT, 0)  # the tray menu's About... meanwhile
    s.probe("send", MAIN, 0, 0, 0)  # returns once the posted command is handled
    eq([s.probe("count", ABOUT), s.rect(ABOUT)], ["1", about_rect], "About boxes, place")
    s.activate(ABOUT)
    s.xi.click(1, s.link_point(ABOUT, LINK))
    eq(s.urls(2), SITE * 2, "address from the About box's link")
    s.activate(ABOUT)
    s.xi.keys("Escape")
    s.wait(ABOUT, "gone")
    eq(s.find(MAIN)[2], "1", "dialog enabled again")
    cancel(s)
    s.tray_menu(1)
    s.wait(ABOUT, "visible")
    eq(s.probe("count", ABOUT), "1", "About boxes from the tray")
    s.activate(ABOUT)
    s.click(ABOUT, 1)
    s.wait(ABOUT, "gone")
    s.tray_menu(2)
    eq(s.urls(3), SITE * 3, "address from the tray menu's item")


@scenario
def taskbar_restart_then_quit(s):
    app = start_hidden(s)
    s.probe("tray-delete", MAIN)
    until(lambda: not s.tray(), 5, "the icon gone")
    eq(s.probe("send", MAIN, "@TaskbarCreated", 0, 0), "1", "answer to TaskbarCreated")
    eq(len(until(s.tray, 5, "the icon back")), 1, "tray icons")
    s.click_tray(1)
    s.wait(MAIN, "visible")
    cancel(s)
    s.tray_menu(3)
    eq(app.wait(10), 0, "exit code after Quit")
    eq([s.tray(), s.hotkey(CTRL | ALT, VK_L), s.probe("count", MAIN)], [[], "free", "0"],
       "tray icons, hot key, dialogs after Quit")


@scenario
def chinese_screens(s):
    zh, about = "CorvaneTetherly 1.2", "关于 CorvaneTetherly"
    s.start("zh_CN.UTF-8", zh)
    eq(s.text(zh, 1, 2, ABOUT_BUTTON), ["确定", "取消", "关于..."], "buttons")
    expect(s.text(zh, LINK).startswith("Corvane软件工作室 (<a>" + URL), "link text")
    s.activate(zh)
    s.shot("options-zh", zh, publish=True)
    ok(s, zh)
    s.owned(zh)
    s.shot("message-zh")
    dismiss_warnings(s, zh, "注册热键失败，可能该热键被其他程序占用。请换一个键。")
    s.click_tray(3)
    until(lambda: s.rect("menu"), 5, "the tray menu")
    s.shot("tray-menu-zh")
    s.choose(1)
    s.wait(about, "visible")
    eq(s.text(about, 1), "OK", "About box button (not translated)")
    s.shot("about-zh", about)


@scenario
def german_falls_back_to_english(s):
    s.start("de_DE.UTF-8")
    eq(s.text(MAIN, 1, 2, ABOUT_BUTTON), ["OK", "Cancel", "About..."], "buttons")
    expect(s.text(MAIN, LINK).startswith("Powered by Corvane Studio (<a>" + URL), "link text")


if __name__ == "__main__":
    sys.exit(run(SCENARIOS, sys.argv))
