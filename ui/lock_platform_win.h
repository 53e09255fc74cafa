#pragma once
#include <windows.h>

#include "ui/lock_engine.h"

// The lock's platform operations on the real desktop. From its first rectangle call to its
// end, the thread works in physical pixels (per-monitor DPI aware) where the system offers
// that, so a DPI-unaware program's rectangles are not rounded through scaled units.
class Win32LockPlatform : public LockPlatform {
public:
    Win32LockPlatform() = default;
    ~Win32LockPlatform() override;
    Win32LockPlatform(const Win32LockPlatform&) = delete;
    Win32LockPlatform& operator=(const Win32LockPlatform&) = delete;

    WindowHandle GetForegroundWindow() override;
    bool IsWindowVisible(WindowHandle window) override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool ClientToScreen(WindowHandle window, Point& point) override;
    std::uint32_t GetWindowDpi(WindowHandle window) override;
    bool IsInMoveSize(WindowHandle window) override;
    bool GetClipCursor(Rect& rect) override;
    void ClipCursor(const Rect* rect) override;

private:
    // True when the thread now works in physical pixels.
    bool InPhysicalPixels();

    bool m_switched = false;
    HANDLE m_previousDpiContext = nullptr;
};
