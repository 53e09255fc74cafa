#pragma once
#include <cstdint>

#include "settings/settings.h"
#include "ui/geometry.h"

// Opaque window handle; the Win32 shell stores an HWND here.
using WindowHandle = void*;

// The platform operations the lock needs.
class LockPlatform {
public:
    virtual ~LockPlatform() = default;
    virtual WindowHandle GetForegroundWindow() = 0;
    virtual bool IsWindowVisible(WindowHandle window) = 0;
    virtual bool GetClientRect(WindowHandle window, Rect& rect) = 0;
    virtual bool ClientToScreen(WindowHandle window, Point& point) = 0;
    // Dots per inch of the display the window is on; 96 where the platform cannot tell.
    virtual std::uint32_t GetWindowDpi(WindowHandle window) = 0;
    // True while the user drags or sizes the window (its thread runs a move or size loop).
    virtual bool IsInMoveSize(WindowHandle window) = 0;
    // The clip in force, in the coordinates ClipCursor takes.
    virtual bool GetClipCursor(Rect& rect) = 0;
    // nullptr frees the cursor.
    virtual void ClipCursor(const Rect* rect) = 0;
};

struct LockState {
    bool m_bLocked = false;
    WindowHandle m_hLockedWnd = nullptr;
    // The rectangle last applied for m_hLockedWnd, when there is one.
    bool m_bClipApplied = false;
    Rect m_appliedClip;
};

// The lock rectangle is the client area in screen coordinates widened by the tunings, which
// are pixels at 96 DPI scaled to the display's DPI; the arithmetic wraps in 32 bits.

// WM_HOTKEY: toggles the lock for hot key id 0.
void LockOnHotKey(LockState& state, std::uintptr_t hotKeyId, const Settings& settings,
                  LockPlatform& platform);
// WM_TIMER: while locked, follows a new foreground window, and holds the same one: clips it
// again when it moved or its clip was freed (timer id 0 only).
void LockOnTimer(LockState& state, std::uintptr_t timerId, const Settings& settings,
                 LockPlatform& platform);
// End of the run: a lock in force frees the cursor and turns off.
void LockOnCleanUp(LockState& state, LockPlatform& platform);
