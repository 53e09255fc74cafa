#!/usr/bin/env python3
"""Raw X input through the XTEST extension (ctypes on libX11 and libXtst).

Keys are sent by keycode, so left and right modifiers stay apart, which
`xdotool key` does not guarantee. Usable as a module (XInput) or from the shell:

    xinput.py down:Control_L tap:a up:Control_L move:100,200 click:1 sleep:0.2
    xinput.py combo:Control_L+Alt_L+a type:12-5 pointer
"""
import ctypes
import ctypes.util
import os
import sys
import time


class XInputError(RuntimeError):
    pass


def _load(name, fallback):
    path = ctypes.util.find_library(name) or fallback
    return ctypes.CDLL(path)


class XInput:
    # Delay after every event: Wine reads the key state of each message in order,
    # and a short gap keeps press and release from merging into one poll.
    GAP = 0.02

    def __init__(self, display=None):
        self._x11 = _load("X11", "libX11.so.6")
        self._xtst = _load("Xtst", "libXtst.so.6")
        self._x11.XOpenDisplay.restype = ctypes.c_void_p
        self._x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        self._x11.XStringToKeysym.restype = ctypes.c_ulong
        self._x11.XStringToKeysym.argtypes = [ctypes.c_char_p]
        self._x11.XKeysymToKeycode.restype = ctypes.c_ubyte
        self._x11.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self._x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self._x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self._x11.XDefaultRootWindow.restype = ctypes.c_ulong
        self._x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self._x11.XQueryPointer.argtypes = [
            ctypes.c_void_p, ctypes.c_ulong,
            ctypes.POINTER(ctypes.c_ulong), ctypes.POINTER(ctypes.c_ulong),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_int), ctypes.POINTER(ctypes.c_int),
            ctypes.POINTER(ctypes.c_uint)]
        self._xtst.XTestFakeKeyEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self._xtst.XTestFakeButtonEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
        self._xtst.XTestFakeMotionEvent.argtypes = [
            ctypes.c_void_p, ctypes.c_int, ctypes.c_int, ctypes.c_int, ctypes.c_ulong]
        name = (display or os.environ.get("DISPLAY", "")).encode()
        self._dpy = self._x11.XOpenDisplay(name)
        if not self._dpy:
            raise XInputError("cannot open display %r" % name.decode())

    def close(self):
        if self._dpy:
            self._x11.XCloseDisplay(self._dpy)
            self._dpy = None

    def keycode(self, keysym_name):
        sym = self._x11.XStringToKeysym(keysym_name.encode())
        if sym == 0:
            raise XInputError("unknown keysym %r" % keysym_name)
        code = self._x11.XKeysymToKeycode(self._dpy, sym)
        if code == 0:
            raise XInputError("keysym %r has no keycode" % keysym_name)
        return code

    def _sync(self):
        self._x11.XSync(self._dpy, 0)
        time.sleep(self.GAP)

    def key_down(self, keysym_name):
        self._xtst.XTestFakeKeyEvent(self._dpy, self.keycode(keysym_name), 1, 0)
        self._sync()

    def key_up(self, keysym_name):
        self._xtst.XTestFakeKeyEvent(self._dpy, self.keycode(keysym_name), 0, 0)
        self._sync()

    def tap(self, keysym_name):
        self.key_down(keysym_name)
        self.key_up(keysym_name)

    def combo(self, *keysym_names):
        """Presses the keys in order, releases them in reverse order."""
        for name in keysym_names:
            self.key_down(name)
        for name in reversed(keysym_names):
            self.key_up(name)

    def type_text(self, text):
        names = {"-": "minus", "+": "plus", ".": "period", " ": "space"}
        for ch in text:
            self.tap(names.get(ch, ch))

    def move(self, x, y):
        self._xtst.XTestFakeMotionEvent(self._dpy, -1, int(x), int(y), 0)
        self._sync()

    def button_down(self, button=1):
        self._xtst.XTestFakeButtonEvent(self._dpy, button, 1, 0)
        self._sync()

    def button_up(self, button=1):
        self._xtst.XTestFakeButtonEvent(self._dpy, button, 0, 0)
        self._sync()

    def click(self, button=1, x=None, y=None):
        if x is not None:
            self.move(x, y)
        self.button_down(button)
        self.button_up(button)

    def pointer(self):
        """The X server's own pointer position (root coordinates)."""
        root, child = ctypes.c_ulong(), ctypes.c_ulong()
        rx, ry, wx, wy = ctypes.c_int(), ctypes.c_int(), ctypes.c_int(), ctypes.c_int()
        mask = ctypes.c_uint()
        self._x11.XQueryPointer(self._dpy, self._x11.XDefaultRootWindow(self._dpy),
                                ctypes.byref(root), ctypes.byref(child),
                                ctypes.byref(rx), ctypes.byref(ry),
                                ctypes.byref(wx), ctypes.byref(wy), ctypes.byref(mask))
        return rx.value, ry.value

    def run(self, token):
        verb, _, arg = token.partition(":")
        if verb == "down":
            self.key_down(arg)
        elif verb == "up":
            self.key_up(arg)
        elif verb == "tap":
            self.tap(arg)
        elif verb == "combo":
            self.combo(*arg.split("+"))
        elif verb == "type":
            self.type_text(arg)
        elif verb == "move":
            x, y = arg.split(",")
            self.move(int(x), int(y))
        elif verb == "click":
            self.click(int(arg or 1))
        elif verb == "bdown":
            self.button_down(int(arg or 1))
        elif verb == "bup":
            self.button_up(int(arg or 1))
        elif verb == "sleep":
            time.sleep(float(arg))
        elif verb == "pointer":
            print("%d %d" % self.pointer())
        else:
            raise XInputError("unknown action %r" % token)


def main(argv):
    if len(argv) < 2:
        sys.stderr.write(__doc__)
        return 2
    xi = XInput()
    try:
        for token in argv[1:]:
            xi.run(token)
    except XInputError as err:
        sys.stderr.write("xinput: %s\n" % err)
        return 1
    finally:
        xi.close()
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
