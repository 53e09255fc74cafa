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

// False when the window has no client area to be had.
bool LockRectangle(const LockState& state, const Settings& settings, LockPlatform& platform,
                   Rect& clip) {
    Rect client;
    if (!platform.GetClientRect(state.m_hLockedWnd, client))
        return false;
    Point topLeft{client.left, client.top};
    if (!platform.ClientToScreen(state.m_hLockedWnd, topLeft))
        return false;
    Point bottomRight{client.right, client.bottom};
    if (!platform.ClientToScreen(state.m_hLockedWnd, bottomRight))
        return false;
    // No margin, nothing to scale: the DPI look-up is the dearest call of a tick.
    const bool margins =
        settings.TuningLeft || settings.TuningTop || settings.TuningRight || settings.TuningBottom;
    clip = WidenByTuning(Rect{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, settings,
                         margins ? platform.GetWindowDpi(state.m_hLockedWnd) : 96);
    return true;
}

void Apply(LockState& state, const Rect& clip, LockPlatform& platform) {
    platform.ClipCursor(&clip);
    state.m_appliedClip = clip;
    state.m_bClipApplied = true;
}

void ClipToLockedWindow(LockState& state, const Settings& settings, LockPlatform& platform) {
    state.m_bClipApplied = false;
    Rect clip;
    if (LockRectangle(state, settings, platform, clip))
        Apply(state, clip, platform);
}

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The locked window is still in front. Its clip is lost when the foreground left its program
// for a moment, at a secure desktop, or when another program frees the cursor; a tighter clip
// of its own (a game's) is kept.
void HoldClip(LockState& state, const Settings& settings, LockPlatform& platform) {
    Rect clip;
    if (!LockRectangle(state, settings, platform, clip))
        return;
    if (state.m_bClipApplied && clip == state.m_appliedClip) {
        // An empty or inverted rectangle is never in force as given: applied once is enough.
        if (clip.left >= clip.right || clip.top >= clip.bottom)
            return;
        Rect inForce;
        if (!platform.GetClipCursor(inForce) || Contains(clip, inForce))
            return;
    }
    // While the user drags it, the system confines the cursor itself.
    if (platform.IsInMoveSize(state.m_hLockedWnd))
        return;
    Apply(state, clip, platform);
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
    if (foreground == state.m_hLockedWnd) {
        HoldClip(state, settings, platform);
        return;
    }
    state.m_hLockedWnd = foreground;
    ClipToLockedWindow(state, settings, platform);
}

void LockOnCleanUp(LockState& state, LockPlatform& platform) {
    if (!state.m_bLocked)
        return;
    platform.ClipCursor(nullptr);
    state.m_bLocked = false;
}
