#pragma once
#include <cstdint>

#include "settings/settings.h"
#include "ui/geometry.h"

// Opaque window handle; the Win32 shell stores an HWND here.
using WindowHandle = void*;

// The four platform operations the lock needs.
class LockPlatform {
public:
    virtual ~LockPlatform() = default;
    virtual WindowHandle GetForegroundWindow() = 0;
    virtual bool GetClientRect(WindowHandle window, Rect& rect) = 0;
    virtual bool ClientToScreen(WindowHandle window, Point& point) = 0;
    // nullptr frees the cursor.
    virtual void ClipCursor(const Rect* rect) = 0;
};

struct LockState {
    bool m_bLocked = false;
    WindowHandle m_hLockedWnd = nullptr;
};

// Client rectangle in screen coordinates widened by the tunings; wraps in 32 bits.
Rect WidenByTuning(const Rect& screenRect, const Settings& settings);

// WM_HOTKEY: toggles the lock for hot key id 0.
void LockOnHotKey(LockState& state, std::uintptr_t hotKeyId, const Settings& settings,
                  LockPlatform& platform);
// WM_TIMER: while locked, follows a new foreground window (timer id 0 only).
void LockOnTimer(LockState& state, std::uintptr_t timerId, const Settings& settings,
                 LockPlatform& platform);
void ClipToLockedWindow(const LockState& state, const Settings& settings, LockPlatform& platform);
void ReleaseClip(LockPlatform& platform);
