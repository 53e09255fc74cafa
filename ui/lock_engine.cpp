#include "ui/lock_engine.h"

namespace {
// 32-bit wrap-around without signed overflow.
std::int32_t WrapAdd(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
std::int32_t WrapSub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}
} // namespace

Rect WidenByTuning(const Rect& screenRect, const Settings& settings) {
    return Rect{WrapSub(screenRect.left, settings.TuningLeft),
                WrapSub(screenRect.top, settings.TuningTop),
                WrapAdd(screenRect.right, settings.TuningRight),
                WrapAdd(screenRect.bottom, settings.TuningBottom)};
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
    const Rect clip =
        WidenByTuning(Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, settings);
    platform.ClipCursor(&clip);
}

void ReleaseClip(LockPlatform& platform) {
    platform.ClipCursor(nullptr);
}

void LockOnHotKey(LockState& state, std::uintptr_t hotKeyId, const Settings& settings,
                  LockPlatform& platform) {
    if (hotKeyId != 0)
        return;
    state.m_bLocked = !state.m_bLocked;
    if (state.m_bLocked) {
        state.m_hLockedWnd = platform.GetForegroundWindow();
        ClipToLockedWindow(state, settings, platform);
    } else {
        ReleaseClip(platform);
    }
}

void LockOnTimer(LockState& state, std::uintptr_t timerId, const Settings& settings,
                 LockPlatform& platform) {
    if (timerId != 0 || !state.m_bLocked)
        return;
    WindowHandle foreground = platform.GetForegroundWindow();
    // Handles only: a move or resize of the same window is not followed.
    if (foreground == state.m_hLockedWnd)
        return;
    state.m_hLockedWnd = foreground;
    ClipToLockedWindow(state, settings, platform);
}
