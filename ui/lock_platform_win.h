#pragma once
#include "ui/lock_engine.h"

// The lock's platform operations on the real desktop.
class Win32LockPlatform : public LockPlatform {
public:
    WindowHandle GetForegroundWindow() override;
    bool GetClientRect(WindowHandle window, Rect& rect) override;
    bool ClientToScreen(WindowHandle window, Point& point) override;
    void ClipCursor(const Rect* rect) override;
};
