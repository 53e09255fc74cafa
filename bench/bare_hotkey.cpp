// Baseline for hot key to clip: a global hot key (modifiers and virtual key from the command
// line) that clips the cursor to the foreground window's client area, and releases the clip
// on the next press. No window: WM_HOTKEY arrives in the thread's queue.
#include <windows.h>

#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    if (__argc < 3 || !RegisterHotKey(nullptr, 0, std::wcstoul(__wargv[1], nullptr, 0),
                                      std::wcstoul(__wargv[2], nullptr, 0)))
        return 1;
    bool locked = false;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message != WM_HOTKEY)
            continue;
        locked = !locked;
        HWND target = GetForegroundWindow();
        RECT rc;
        POINT origin{0, 0};
        if (locked && target != nullptr && GetClientRect(target, &rc) &&
            ClientToScreen(target, &origin)) {
            OffsetRect(&rc, origin.x, origin.y);
            ClipCursor(&rc);
        } else {
            locked = false;
            ClipCursor(nullptr);
        }
    }
    return 0;
}
