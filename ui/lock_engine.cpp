#include "ui/lock_engine.h"

namespace {
// 32-bit wrap-around without signed overflow.
std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// Rounded half away from zero.
std::int32_t ScaleTuning(std::int32_t tuning, std::uint32_t dpi) {
    if (dpi == 96)
        return tuning;
    const std::int64_t product = std::int64_t{tuning} * dpi;
    const std::int64_t scaled = (product + (product < 0 ? -48 : 48)) / 96;
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(scaled));
}

Rect WidenByTuning(const Rect& screenRect, const Settings& settings, std::uint32_t dpi) {
    return Rect{WrapSub(screenRect.left, ScaleTuning(settings.TuningLeft, dpi)),
                WrapSub(screenRect.top, ScaleTuning(settings.TuningTop, dpi)),
                WrapAdd(screenRect.right, ScaleTuning(settings.TuningRight, dpi)),
                WrapAdd(screenRect.bottom, ScaleTuning(settings.TuningBottom, dpi))};
}

// An invisible foreground window (our own hidden dialog while the tray menu is open)
// counts as none: the lock must not move into it.
WindowHandle VisibleForeground(LockPlatform& platform) {
    WindowHandle window = platform.GetForegroundWindow();
    if (window && !platform.IsWindowVisible(window))
        return nullptr;
    return window;
}

void ClipToLockedWindow(const LockState& state, const Settings& settings, LockPlatform& platform) {
    Rect client;
    if (!platform.GetClientRect(state.m_hLockedWnd, client))
        return;
    Point topLeft{client.left, client.top};
    if (!platform.ClientToScreen(state.m_hLockedWnd, topLeft))
        return;
    Point bottomRight{client.right, client.bottom};
    if (!platform.ClientToScreen(state.m_hLockedWnd, bottomRight))
        return;
    const Rect clip = WidenByTuning(Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y},
                                    settings, platform.GetWindowDpi(state.m_hLockedWnd));
    platform.ClipCursor(&clip);
}
} // namespace

void LockOnHotKey(LockState& state, std::uintptr_t hotKeyId, const Settings& settings,
                  LockPlatform& platform) {
    if (hotKeyId != 0)
        return;
    state.m_bLocked = !state.m_bLocked;
    if (state.m_bLocked) {
        state.m_hLockedWnd = VisibleForeground(platform);
        ClipToLockedWindow(state, settings, platform);
    } else {
        platform.ClipCursor(nullptr);
    }
}

void LockOnTimer(LockState& state, std::uintptr_t timerId, const Settings& settings,
                 LockPlatform& platform) {
    if (timerId != 0 || !state.m_bLocked)
        return;
    WindowHandle foreground = VisibleForeground(platform);
    // Handles only: a move or resize of the same window is not followed.
    if (foreground == state.m_hLockedWnd)
        return;
    state.m_hLockedWnd = foreground;
    ClipToLockedWindow(state, settings, platform);
}

void LockOnCleanUp(LockState& state, LockPlatform& platform) {
    if (!state.m_bLocked)
        return;
    platform.ClipCursor(nullptr);
    state.m_bLocked = false;
}
