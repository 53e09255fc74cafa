#include "ui/lock_platform_win.h"

#include "framework/unique_handle.h"

namespace {
// Windows 10 1607 and later (8.1 for shcore's); looked up so the program still starts on
// older systems.
using SetThreadDpiAwarenessContextFn = HANDLE(WINAPI*)(HANDLE);
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
constexpr int kEffectiveDpi = 0; // MDT_EFFECTIVE_DPI

// DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE: the first version, which every system that
// has the call accepts.
const HANDLE kPerMonitorAware = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-3));

template <class Fn> Fn User32Function(const char* name) {
    HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(user32, name)))
                  : nullptr;
}

// Loaded at the first use and kept for the run; at namespace scope, as a function-local static
// would need a thread-safe guard.
UniqueModule g_shcore;
bool g_shcoreLoaded = false;

// The display's scale, whatever the window's own awareness; 0 where the system cannot tell.
UINT MonitorDpi(HWND window) {
    if (!g_shcoreLoaded) {
        g_shcoreLoaded = true;
        g_shcore.reset(::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    }
    const auto getDpi = g_shcore ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(
                                       ::GetProcAddress(g_shcore.get(), "GetDpiForMonitor")))
                                 : nullptr;
    HMONITOR monitor = ::MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    UINT dpiX = 0, dpiY = 0;
    return getDpi && monitor && SUCCEEDED(getDpi(monitor, kEffectiveDpi, &dpiX, &dpiY)) ? dpiX : 0;
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

// The foreground window is top-level: its own style tells, in one call where IsWindowVisible
// walks the parents.
bool Win32LockPlatform::IsWindowVisible(WindowHandle window) {
    return (::GetWindowLongW(static_cast<HWND>(window), GWL_STYLE) & WS_VISIBLE) != 0;
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
    // The window's own DPI is 96 for a DPI-unaware window, which the system scales up.
    UINT dpi = MonitorDpi(static_cast<HWND>(window));
    if (dpi == 0) {
        auto getDpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
        dpi = getDpi ? getDpi(static_cast<HWND>(window)) : 0;
    }
    return dpi ? dpi : 96;
}

bool Win32LockPlatform::IsInMoveSize(WindowHandle window) {
    const DWORD thread = ::GetWindowThreadProcessId(static_cast<HWND>(window), nullptr);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return thread && ::GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
}

bool Win32LockPlatform::GetClipCursor(Rect& rect) {
    InPhysicalPixels();
    RECT rc;
    if (!::GetClipCursor(&rc))
        return false;
    rect = Rect{rc.left, rc.top, rc.right, rc.bottom};
    return true;
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
