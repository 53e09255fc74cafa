#include "ui/lock_platform_win.h"

#include <windows.h>

WindowHandle Win32LockPlatform::GetForegroundWindow() {
    return ::GetForegroundWindow();
}

bool Win32LockPlatform::GetClientRect(WindowHandle window, Rect& rect) {
    RECT rc;
    if (!::GetClientRect(static_cast<HWND>(window), &rc))
        return false;
    rect = Rect{rc.left, rc.top, rc.right, rc.bottom};
    return true;
}

bool Win32LockPlatform::ClientToScreen(WindowHandle window, Point& point) {
    POINT pt{point.x, point.y};
    if (!::ClientToScreen(static_cast<HWND>(window), &pt))
        return false;
    point = Point{pt.x, pt.y};
    return true;
}

void Win32LockPlatform::ClipCursor(const Rect* rect) {
    if (!rect) {
        ::ClipCursor(nullptr);
        return;
    }
    const RECT rc{rect->left, rect->top, rect->right, rect->bottom};
    ::ClipCursor(&rc);
}
