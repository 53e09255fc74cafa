#!/usr/bin/env python3
"""End-to-end scenarios: the shipped program driven through real X input and
observed from outside with the probe. Run by run.sh, which prepares the display,
the window manager and the Wine prefix.

usage: scenarios.py ROOT EXE PROBE ARTIFACTS RECORDER_LOG [NAME_FILTER]
"""
import subprocess
import sys
import time
import traceback

from harness import (CHINESE, ENGLISH, GERMAN, Failure, Suite, expect, expect_eq, until)

MOD_ALT, MOD_CONTROL, MOD_SHIFT, MOD_WIN = 1, 2, 4, 8
VK_K, VK_L, VK_M = 0x4B, 0x4C, 0x4D
WM_COMMAND, WM_QUERYENDSESSION = 0x0111, 0x0011
URL = "https://www.corvane-studio.example"
# winebrowser hands the address on in canonical form, with the root path added.
BROWSER_URL = URL + "/"
SCREEN = (0, 0, 1280, 800)
STATIC_TEXT_ID = 65535  # the message box's text control

MAIN = ENGLISH.caption
SCENARIOS = []


def scenario(func):
    SCENARIOS.append(func)
    return func


def plant(s, values):
    for name, value in values.items():
        s.probe("reg-set", name, "dword", value)


def wait_text(s, window, control, expected, timeout=3):
    until(lambda: s.text(window, control) == expected, timeout,
          "control %d to read %r" % (control, expected))


def box_texts(s, window=MAIN):
    return [s.text(window, c) for c in (1001, 1002, 1003, 1004, 1005)]


def replace_box(s, control, value, window=MAIN):
    """Empties an integer box with End and Backspace, then types value."""
    s.click_control(window, control)
    s.xi.tap("End")
    while s.text(window, control):
        s.xi.tap("BackSpace")
    s.xi.type_text(value)
    wait_text(s, window, control, value)


def press_ok(s, window=MAIN):
    s.activate(window)
    s.click_control(window, 1)


def press_cancel(s, window=MAIN):
    s.activate(window)
    s.click_control(window, 2)
    s.probe("wait-hidden", window, 5000)


def dismiss(s, box):
    s.probe("post", box, WM_COMMAND, 1, 0)
    s.probe("wait-gone", box, 5000)


def shown_owned(s, owner):
    return [row["title"] for row in s.owned_windows(owner) if row["visible"]]


def expected_clip(client, left, top, right, bottom):
    return (client[0] - left, client[1] - top, client[2] + right, client[3] + bottom)


def tray_menu(s, index):
    """Opens the tray menu with a right click and chooses the item at index
    (0 Option, 1 About..., 2 the maker's name, 3 Quit)."""
    s.click_tray(button=3)
    s.choose_menu_item(index)


# --- start-up ---------------------------------------------------------------

@scenario
def startup_with_empty_store(s):
    s.start_app()
    expect_eq(s.probe("count-windows", MAIN, "visible"), "1", "visible main dialogs")
    expect_eq(box_texts(s), ["", "0", "0", "0", "0"], "boxes on first run")
    expect_eq(len(s.tray_icons()), 1, "tray icons")
    expect_eq(s.registry(), {}, "registry after start-up (nothing written)")
    s.activate(MAIN)
    s.publish(s.screenshot("options-en", MAIN), "options-en.png")


@scenario
def startup_with_planted_settings(s):
    # HotKey above 255 shows its low 8 bits; Modifiers 0x4009 carries Alt, Win
    # and a bit that is not a modifier.
    plant(s, {"HotKey": 0x141, "Modifiers": 0x4009, "TuningLeft": 10, "TuningTop": 0,
              "TuningRight": -20, "TuningBottom": 5})
    before = s.registry()
    s.start_app()
    expect_eq(box_texts(s), ["Alt+Win+A", "10", "0", "-20", "5"], "boxes from the store")
    expect_eq(s.registry(), before, "registry after start-up")


@scenario
def second_instance_leaves_first_alone(s):
    first = s.start_app()
    s.activate(MAIN)
    s.click_control(MAIN, 1001)
    s.xi.tap("F9")
    wait_text(s, MAIN, 1001, "F9")
    handle = s.probe("find", MAIN)
    second = s.start_app(wait=False)
    expect_eq(second.exit_code(15), 0, "exit code of the second instance")
    expect_eq(s.probe("count-windows", MAIN), "1", "main dialogs after a second start")
    expect_eq(s.probe("find", MAIN), handle, "main dialog handle")
    expect(s.visible(MAIN), "first instance's dialog is still shown")
    expect_eq(s.text(MAIN, 1001), "F9", "first instance's capture box")
    expect_eq(len(s.tray_icons()), 1, "tray icons")
    expect(first.running(), "first instance still runs")


# --- input controls ---------------------------------------------------------

# Each row: X key actions into the focused capture box, and the text it then shows.
# Consecutive rows differ, so a row whose keys were lost cannot pass.
CAPTURE_ROWS = [
    (["tap:Control_L"], "LCtrl"),
    (["tap:Control_R"], "RCtrl"),
    (["tap:Shift_L"], "LShift"),
    (["tap:Shift_R"], "RShift"),
    (["tap:Alt_L"], "LAlt"),
    (["tap:Alt_R"], "RAlt"),
    (["combo:Control_L+Alt_L+a"], "Ctrl+Alt+A"),
    (["combo:Control_L+Shift_R"], "Ctrl+RShift"),
    (["combo:Shift_L+Control_R"], "Shift+RCtrl"),
    (["combo:Control_R+Alt_R"], "Ctrl+RAlt"),
    (["combo:Alt_L+F4"], "Alt+F4"),
    (["combo:Shift_L+Insert"], "Shift+Insert"),
    (["tap:F10"], "F10"),
    (["combo:Control_L+Shift_L+Alt_L+F12"], "Ctrl+Shift+Alt+F12"),
    (["down:Control_L", "tap:b", "up:Control_L"], "Ctrl+B"),  # releases change nothing
    (["type:x"], "X"),
    (["combo:Control_L+minus"], "Ctrl+-"),
    (["tap:Delete"], "Delete"),
]


@scenario
def capture_box_takes_real_keys(s):
    app = s.start_app()
    s.activate(MAIN)
    s.click_control(MAIN, 1001)
    failures = []
    for actions, expected in CAPTURE_ROWS:
        for action in actions:
            s.xi.run(action)
        try:
            wait_text(s, MAIN, 1001, expected, timeout=2)
        except Failure:
            failures.append("%s -> %r (expected %r)" % (" ".join(actions),
                                                       s.text(MAIN, 1001), expected))
    expect(not failures, "capture rows failed: " + "; ".join(failures))
    # Alt+F4 was captured, not obeyed.
    expect(app.running() and s.visible(MAIN), "dialog still shown after Alt+F4")
    # A right click opens no context menu: the next key still lands in the box.
    s.click_control(MAIN, 1001, button=3)
    s.xi.tap("F7")
    wait_text(s, MAIN, 1001, "F7")
    expect(not s.probe_ok("menu-rect"), "a context menu is open over the capture box")


# Rows typed into tuning box 1002 (it starts as "0"). A key that must be
# swallowed is followed by one that must pass, so a lost event shows.
INTEGER_ROWS = [
    (["tap:End", "tap:BackSpace"], ""),
    (["type:-5"], "-5"),
    (["type:a9"], "-59"),
    (["tap:KP_Add", "tap:1"], "-591"),
    (["tap:period", "tap:BackSpace"], "-59"),
    (["type:Z", "tap:space", "tap:2"], "-592"),
    (["combo:Shift_L+a", "tap:3"], "-5923"),
    (["tap:Home", "tap:Delete"], "5923"),
    (["tap:minus"], "-5923"),
    (["tap:End", "tap:BackSpace", "tap:BackSpace"], "-59"),
]


@scenario
def integer_box_filters_typed_keys(s):
    s.start_app()
    s.activate(MAIN)
    s.click_control(MAIN, 1002)
    failures = []
    for actions, expected in INTEGER_ROWS:
        for action in actions:
            s.xi.run(action)
        try:
            wait_text(s, MAIN, 1002, expected, timeout=2)
        except Failure:
            failures.append("%s -> %r (expected %r)" % (" ".join(actions),
                                                       s.text(MAIN, 1002), expected))
    expect(not failures, "integer rows failed: " + "; ".join(failures))
    s.click_control(MAIN, 1002, button=3)
    s.xi.tap("7")
    wait_text(s, MAIN, 1002, "-597")
    expect(not s.probe_ok("menu-rect"), "a context menu is open over the integer box")
    # What was typed is what OK stores.
    s.click_control(MAIN, 1001)
    s.xi.combo("Control_L", "Alt_L", "k")
    wait_text(s, MAIN, 1001, "Ctrl+Alt+K")
    press_ok(s)
    s.probe("wait-hidden", MAIN, 5000)
    expect_eq(s.registry().get("TuningLeft"), "REG_DWORD 0xfffffdab", "stored -597")


# --- OK and Cancel ------------------------------------------------------------

@scenario
def ok_writes_all_seven_values(s):
    s.start_app()
    s.activate(MAIN)
    s.click_control(MAIN, 1001)
    s.xi.combo("Control_L", "Alt_L", "k")
    wait_text(s, MAIN, 1001, "Ctrl+Alt+K")
    for control, value in ((1002, "10"), (1003, "0"), (1004, "-20"), (1005, "5")):
        replace_box(s, control, value)
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_K), "free", "hot key before OK")
    press_ok(s)
    s.probe("wait-hidden", MAIN, 5000)
    expect_eq(s.registry(), {
        "Version": "REG_SZ 8 1.2",
        "HotKey": "REG_DWORD 0x4b",
        "Modifiers": "REG_DWORD 0x3",
        "TuningLeft": "REG_DWORD 0xa",
        "TuningTop": "REG_DWORD 0x0",
        "TuningRight": "REG_DWORD 0xffffffec",
        "TuningBottom": "REG_DWORD 0x5",
    }, "registry after OK")
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_K), "held", "hot key after OK")
    expect_eq(shown_owned(s, MAIN), [], "windows shown over the dialog after OK")


@scenario
def ok_without_key_warns_and_hides(s):
    s.start_app()
    press_ok(s)
    box = s.message_box(MAIN)
    expect_eq(s.text(box, STATIC_TEXT_ID), ENGLISH.hotkey_failed, "message text")
    expect_eq(s.registry(), {}, "registry while the warning is shown (saved afterwards)")
    expect(s.visible(MAIN), "dialog stays shown until the message is dismissed")
    dismiss(s, box)
    # Registering key 0 may be refused as well; that repeats the same message.
    def settled():
        for row in s.owned_windows(MAIN):
            if row["class"] == "#32770" and row["visible"]:
                expect_eq(s.text(row["hwnd"], STATIC_TEXT_ID), ENGLISH.hotkey_failed,
                          "second message text")
                dismiss(s, row["hwnd"])
                return False
        return not s.visible(MAIN)
    until(settled, 10, "the dialog to be hidden")
    expect_eq(s.registry(), {
        "Version": "REG_SZ 8 1.2", "HotKey": "REG_DWORD 0x0", "Modifiers": "REG_DWORD 0x0",
        "TuningLeft": "REG_DWORD 0x0", "TuningTop": "REG_DWORD 0x0",
        "TuningRight": "REG_DWORD 0x0", "TuningBottom": "REG_DWORD 0x0",
    }, "registry after OK without a key")


@scenario
def ok_with_combination_held_elsewhere(s):
    s.start_app()
    s.activate(MAIN)
    s.click_control(MAIN, 1001)
    s.xi.combo("Control_L", "Alt_L", "k")
    wait_text(s, MAIN, 1001, "Ctrl+Alt+K")
    # Taken by another program after capture (while held, pressing it would
    # reach that program, not the box).
    expect_eq(s.spawn_probe("hold-hotkey", MOD_CONTROL | MOD_ALT, VK_K, 60), "holding",
              "other program holds Ctrl+Alt+K")
    press_ok(s)
    box = s.message_box(MAIN)
    expect_eq(s.text(box, STATIC_TEXT_ID), ENGLISH.hotkey_failed, "message text")
    stored = s.registry()
    expect_eq((stored.get("HotKey"), stored.get("Modifiers")),
              ("REG_DWORD 0x4b", "REG_DWORD 0x3"), "settings saved before the message")
    dismiss(s, box)
    s.probe("wait-hidden", MAIN, 5000)
    expect_eq(shown_owned(s, MAIN), [], "windows left over after the message")
    for proc in s.spawned:
        proc.kill()
        proc.wait()
    until(lambda: s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_K) == "free", 5,
          "Ctrl+Alt+K free once the other program ends (the refused key is not held)")


@scenario
def cancel_restores_and_registers_stored_key(s):
    stored = {"HotKey": VK_L, "Modifiers": MOD_CONTROL | MOD_ALT, "TuningLeft": 1,
              "TuningTop": 2, "TuningRight": 3, "TuningBottom": 4}
    plant(s, stored)
    before = s.registry()
    s.start_app()
    expect_eq(box_texts(s), ["Ctrl+Alt+L", "1", "2", "3", "4"], "boxes from the store")
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "free", "hot key while first shown")
    s.activate(MAIN)
    s.click_control(MAIN, 1001)
    s.xi.combo("Control_L", "Shift_L", "m")
    wait_text(s, MAIN, 1001, "Ctrl+Shift+M")
    replace_box(s, 1002, "77")
    replace_box(s, 1005, "-8")
    press_cancel(s)
    expect_eq(box_texts(s), ["Ctrl+Alt+L", "1", "2", "3", "4"], "boxes after Cancel")
    expect_eq(s.registry(), before, "registry after Cancel")
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "held", "stored key after Cancel")
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_SHIFT, VK_M), "free", "edited key after Cancel")
    # Shown again (menu command Option), then Esc: the same as Cancel.
    s.probe("post", MAIN, WM_COMMAND, 2001, 0)
    s.probe("wait-visible", MAIN, 5000)
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "free", "hot key while shown again")
    s.activate(MAIN)
    s.click_control(MAIN, 1003)
    s.xi.tap("9")
    wait_text(s, MAIN, 1003, "29")
    s.xi.tap("Escape")
    s.probe("wait-hidden", MAIN, 5000)
    expect_eq(s.text(MAIN, 1003), "2", "top box after Esc")
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "held", "stored key after Esc")
    expect_eq(s.registry(), before, "registry after Esc")


# --- the lock -----------------------------------------------------------------

@scenario
def hot_key_locks_follows_and_unlocks(s):
    tuning = (10, 0, -20, 5)
    plant(s, {"HotKey": VK_K, "Modifiers": MOD_CONTROL | MOD_ALT, "TuningLeft": tuning[0],
              "TuningTop": tuning[1], "TuningRight": tuning[2], "TuningBottom": tuning[3]})
    s.start_app()
    # Dead while the dialog is shown: the combination is captured instead.
    s.activate(MAIN)
    s.click_control(MAIN, 1001)
    s.xi.tap("F5")
    wait_text(s, MAIN, 1001, "F5")
    s.xi.combo("Control_L", "Alt_L", "k")
    wait_text(s, MAIN, 1001, "Ctrl+Alt+K")
    expect_eq(s.clip(), SCREEN, "clip after the hot key while the dialog is shown")
    press_cancel(s)

    s.spawn_probe("target-window", "E2E Target A", 120, 150, 520, 380, 90)
    s.activate("E2E Target A")
    client_a = s.rect("client-rect", "E2E Target A")
    s.xi.combo("Control_L", "Alt_L", "k")
    clip_a = expected_clip(client_a, *tuning)
    until(lambda: s.clip() == clip_a, 3, "clip %r around target A" % (clip_a,))
    s.xi.move(1275, 795)
    expect_eq(s.xi.pointer(), (clip_a[2] - 1, clip_a[3] - 1), "pointer pushed past bottom right")
    s.xi.move(2, 2)
    expect_eq(s.xi.pointer(), (clip_a[0], clip_a[1]), "pointer pushed past top left")

    s.spawn_probe("target-window", "E2E Target B", 700, 300, 450, 300, 90)
    s.activate("E2E Target B")
    switched = time.monotonic()
    client_b = s.rect("client-rect", "E2E Target B")
    clip_b = expected_clip(client_b, *tuning)
    until(lambda: s.clip() == clip_b, 3, "clip %r around target B" % (clip_b,))
    followed = time.monotonic() - switched
    expect(followed < 1.0, "lock followed after %.2fs (at most one second)" % followed)
    s.xi.move(5, 5)
    expect_eq(s.xi.pointer(), (clip_b[0], clip_b[1]), "pointer held inside target B")

    s.xi.combo("Control_L", "Alt_L", "k")
    until(lambda: s.clip() == SCREEN, 3, "clip released to the whole screen")
    s.xi.move(3, 4)
    expect_eq(s.xi.pointer(), (3, 4), "pointer free after unlocking")


# --- tray -----------------------------------------------------------------------

@scenario
def tray_clicks_show_the_dialog(s):
    plant(s, {"HotKey": VK_L, "Modifiers": MOD_CONTROL | MOD_ALT})
    s.start_app()
    press_cancel(s)
    mods = MOD_CONTROL | MOD_ALT
    expect_eq(s.hotkey_state(mods, VK_L), "held", "hot key once hidden")
    for name, double in (("left click", False), ("double click", True)):
        s.click_tray(button=1, double=double)
        s.probe("wait-visible", MAIN, 5000)
        expect_eq(s.hotkey_state(mods, VK_L), "free", "hot key after tray " + name)
        press_cancel(s)
        expect_eq(s.hotkey_state(mods, VK_L), "held", "hot key after Cancel")
    # A left click while the dialog is shown keeps it shown.
    s.click_tray(button=1)
    s.probe("wait-visible", MAIN, 5000)
    s.click_tray(button=1)
    expect(s.visible(MAIN), "dialog still shown after a second left click")
    press_cancel(s)
    # Right click: the menu opens with its top-right corner at the pointer. The
    # tray window is moved away from the screen's edge so nothing shifts the menu,
    # to a place no dialog or target window of the suite covers.
    subprocess.run(["xdotool", "windowmove", "--sync", s.probe("xid", "Wine System Tray"),
                    "1000", "40"], check=True, timeout=10)
    until(lambda: s.tray_icons()[0][0] > 900, 5, "the tray window moved")
    s.click_tray(button=3)
    left, top, right, bottom = until(lambda: s.rect("menu-rect"), 5, "the tray menu")
    px, py = s.xi.pointer()
    expect((right, top) == (px, py),
           "menu %r has its top-right corner at the pointer %r" % ((left, top, right, bottom),
                                                                   (px, py)))
    s.screenshot("tray-menu-en")
    s.choose_menu_item(0)
    s.probe("wait-visible", MAIN, 5000)
    expect_eq(s.hotkey_state(mods, VK_L), "free", "hot key after the menu's Option")


@scenario
def about_box_one_at_a_time(s):
    s.start_app()
    s.activate(MAIN)
    s.click_control(MAIN, 57664)
    about = ENGLISH.about
    s.probe("wait-visible", about, 5000)
    expect_eq(s.probe("enabled", MAIN), "0", "options dialog disabled under the About box")
    main_rect = s.rect("window-rect", MAIN)
    about_rect = s.rect("window-rect", about)
    centre = lambda r: ((r[0] + r[2]) // 2, (r[1] + r[3]) // 2)
    dx = abs(centre(main_rect)[0] - centre(about_rect)[0])
    dy = abs(centre(main_rect)[1] - centre(about_rect)[1])
    expect(dx <= 1 and dy <= 1, "About %r centred over %r" % (about_rect, main_rect))
    s.screenshot("about-en", about)
    # A second request (the tray menu's About...) while one is open does nothing.
    s.probe("post", MAIN, WM_COMMAND, 2003, 0)
    s.probe("send", MAIN, 0, 0, 0)  # the posted command has been handled after this
    expect_eq(s.probe("count-windows", about), "1", "About boxes after a second request")
    expect_eq(s.rect("window-rect", about), about_rect, "About box not moved")
    s.activate(about)
    s.xi.tap("Escape")
    s.probe("wait-gone", about, 5000)
    expect_eq(s.probe("enabled", MAIN), "1", "options dialog enabled again")
    # From the tray menu while the dialog is hidden.
    press_cancel(s)
    tray_menu(s, 1)
    s.probe("wait-visible", about, 5000)
    expect_eq(s.probe("count-windows", about), "1", "About boxes from the tray")
    s.activate(about)
    s.click_control(about, 1)
    s.probe("wait-gone", about, 5000)


@scenario
def web_site_opens_from_item_and_links(s):
    s.start_app()
    s.activate(MAIN)
    s.click_at(*s.link_point(MAIN, 1006))
    expect_eq(s.recorded_urls(1), [BROWSER_URL], "address from the options dialog's link")
    s.click_control(MAIN, 57664)
    s.probe("wait-visible", ENGLISH.about, 5000)
    s.activate(ENGLISH.about)
    s.click_at(*s.link_point(ENGLISH.about, 1006))
    expect_eq(s.recorded_urls(2), [BROWSER_URL] * 2, "address from the About box's link")
    s.activate(ENGLISH.about)
    s.xi.tap("Escape")
    s.probe("wait-gone", ENGLISH.about, 5000)
    tray_menu(s, 2)
    expect_eq(s.recorded_urls(3), [BROWSER_URL] * 3, "address from the tray item")


@scenario
def quit_from_tray_menu(s):
    plant(s, {"HotKey": VK_L, "Modifiers": MOD_CONTROL | MOD_ALT})
    app = s.start_app()
    press_cancel(s)
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "held", "hot key before Quit")
    expect_eq(len(s.tray_icons()), 1, "tray icons before Quit")
    tray_menu(s, 3)
    expect_eq(app.exit_code(10), 0, "exit code after Quit")
    expect_eq(len(s.tray_icons()), 0, "tray icons after Quit")
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "free", "hot key after Quit")
    expect_eq(s.probe("count-windows", MAIN), "0", "main dialogs after Quit")


@scenario
def session_end_cleans_up(s):
    plant(s, {"HotKey": VK_L, "Modifiers": MOD_CONTROL | MOD_ALT})
    app = s.start_app()
    press_cancel(s)
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "held", "hot key before")
    expect_eq(s.probe("send", MAIN, WM_QUERYENDSESSION, 0, 0), "1", "WM_QUERYENDSESSION answer")
    expect_eq(len(s.tray_icons()), 0, "tray icons after WM_QUERYENDSESSION")
    expect_eq(s.hotkey_state(MOD_CONTROL | MOD_ALT, VK_L), "free", "hot key after")
    expect(app.running(), "the program runs on until the session really ends")


@scenario
def taskbar_created_adds_icon_again(s):
    s.start_app()
    expect_eq(len(s.tray_icons()), 1, "tray icons at start")
    s.probe("tray-delete", MAIN, 0)
    until(lambda: len(s.tray_icons()) == 0, 5, "the icon to be gone")
    expect_eq(s.probe("send", MAIN, "@TaskbarCreated", 0, 0), "1", "TaskbarCreated answer")
    until(lambda: len(s.tray_icons()) == 1, 5, "the icon to be back")
    s.click_tray(button=1)
    s.probe("wait-visible", MAIN, 5000)


# --- languages ------------------------------------------------------------------

@scenario
def chinese_resources(s):
    zh = CHINESE
    s.start_app(lang=zh)
    expect_eq([s.text(zh.caption, c) for c in (1, 2, 57664)], [zh.ok, zh.cancel, zh.about_button],
              "Chinese button texts")
    expect(s.text(zh.caption, 1006).startswith("Corvane软件工作室 (<a>" + URL),
           "Chinese link text")
    s.activate(zh.caption)
    s.publish(s.screenshot("options-zh", zh.caption), "options-zh.png")
    press_ok(s, zh.caption)
    box = s.message_box(zh.caption)
    expect_eq(s.text(box, STATIC_TEXT_ID), zh.hotkey_failed, "Chinese message text")
    s.screenshot("message-zh")
    while s.probe_ok("wait-visible", zh.caption, 0):
        for row in s.owned_windows(zh.caption):
            if row["class"] == "#32770" and row["visible"]:
                dismiss(s, row["hwnd"])
    s.click_tray(button=3)
    until(lambda: s.rect("menu-rect"), 5, "the tray menu")
    s.screenshot("tray-menu-zh")
    s.choose_menu_item(1)
    s.probe("wait-visible", zh.about, 5000)
    expect_eq(s.text(zh.about, 1), "OK", "About box button (not translated)")
    s.screenshot("about-zh", zh.about)


@scenario
def german_falls_back_to_english(s):
    s.start_app(lang=GERMAN)
    expect_eq([s.text(MAIN, c) for c in (1, 2, 57664)], ["OK", "Cancel", "About..."],
              "button texts under de_DE")
    expect(s.text(MAIN, 1006).startswith("Powered by Corvane Studio (<a>" + URL),
           "link text under de_DE")


def main(argv):
    root, exe, probe, artifacts, recorder = argv[1:6]
    wanted = argv[6] if len(argv) > 6 else ""
    suite = Suite(root, exe, probe, artifacts, recorder)
    passed = failed = 0
    suite.cleanup()
    for func in SCENARIOS:
        if wanted and wanted not in func.__name__:
            continue
        started = time.monotonic()
        try:
            func(suite)
            outcome = "PASS"
        except Failure as err:
            outcome = "FAIL: %s" % err
        except Exception:  # a broken step is a failed scenario, not a crashed suite
            outcome = "FAIL (error): %s" % traceback.format_exc().strip().splitlines()[-1]
            suite.note(traceback.format_exc())
        finally:
            try:
                if not outcome.startswith("PASS"):
                    suite.screenshot("failed-" + func.__name__)
            except Exception:
                pass
            suite.cleanup()
        elapsed = time.monotonic() - started
        if outcome == "PASS":
            passed += 1
        else:
            failed += 1
        print("%-40s %s (%.1fs)" % (func.__name__, outcome, elapsed), flush=True)
    print("%d passed, %d failed" % (passed, failed), flush=True)
    return 0 if failed == 0 and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
