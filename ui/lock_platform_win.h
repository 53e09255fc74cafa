#pragma once
#include <windows.h>

#include "ui/lock_engine.h"

// The lock's platform operations on the real desktop. While it exists, the thread works
// in physical pixels (per-monitor DPI aware) where the system offers that, so a DPI-unaware
// program's rectangles are not rounded through scaled units on a scaled display.
class Win32LockPlatform : public LockPlatform {
public:
    Win32LockPlatform();
    ~Win32LockPlatform() override;
    Win32LockPlatform(const Win32LockPlatform&) = delete;
    Win32LockPlatform& operator=(const Win32LockPlatform&) = delete;

    WindowHandle GetForegroundWindow() override;
    bool IsWindowVisible(WindowHandle window) override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool ClientToScreen(WindowHandle window, Point& point) override;
    std::uint32_t GetWindowDpi(WindowHandle window) override;
    void ClipCursor(const Rect* rect) override;

private:
    HANDLE m_previousDpiContext = nullptr;
};
