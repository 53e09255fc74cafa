#include "ui/lock_platform_win.h"

namespace {
// Windows 10 1607 and later; looked up so the program still starts on older systems.
using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE: the first version, which every system that
// has the call accepts.
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

template <class Fn> Fn User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                  : nullptr;
}

// The thread's previous context; null when the system has no such call or refuses.
HANDLE SetThreadDpiContext(HANDLE context) {
    auto set = User32Function<SetThreadDpiAwarenessContextFn>("SetThreadDpiAwarenessContext");
    return set ? set(context) : nullptr;
}
} // namespace

bool Win32LockPlatform::InPhysicalPixels() {
    if (!m_switched) {
        m_switched = true;
        m_previousDpiContext = SetThreadDpiContext(kPerMonitorAware);
    }
    return m_previousDpiContext != nullptr;
}

Win32LockPlatform::~Win32LockPlatform() {
    if (m_previousDpiContext)
        SetThreadDpiContext(m_previousDpiContext);
}

WindowHandle Win32LockPlatform::GetForegroundWindow() {
    return ::GetForegroundWindow();
}

bool Win32LockPlatform::IsWindowVisible(WindowHandle window) {
    return ::IsWindowVisible(static_cast<HWND>(window)) != FALSE;
}

bool Win32LockPlatform::GetClientRect(WindowHandle window, Rect& rect) {
    InPhysicalPixels();
    RECT rc;
    if (!::GetClientRect(static_cast<HWND>(window), &rc))
        return false;
    rect = Rect{rc.left, rc.top, rc.right, rc.bottom};
    return true;
}

bool Win32LockPlatform::ClientToScreen(WindowHandle window, Point& point) {
    InPhysicalPixels();
    POINT pt{point.x, point.y};
    if (!::ClientToScreen(static_cast<HWND>(window), &pt))
        return false;
    point = Point{pt.x, pt.y};
    return true;
}

std::uint32_t Win32LockPlatform::GetWindowDpi(WindowHandle window) {
    // Without physical pixels the rectangle is in 96-DPI units already.
    if (!InPhysicalPixels())
        return 96;
    auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = getDpi ? getDpi(static_cast<HWND>(window)) : 0;
    return dpi ? dpi : 96;
}

void Win32LockPlatform::ClipCursor(const Rect* rect) {
    if (!rect) {
        ::ClipCursor(nullptr);
        return;
    }
    InPhysicalPixels();
    const RECT rc{rect->left, rect->top, rect->right, rect->bottom};
    ::ClipCursor(&rc);
}
