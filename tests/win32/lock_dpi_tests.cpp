// The lock on a display scaled to 150% (ctest runs this layer with its prefix at 144 DPI), as
// a DPI-unaware program meets it on Windows: Wine starts every process per-monitor aware, so
// the test thread turns itself unaware.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00
#include <windows.h>

#include <gtest/gtest.h>

#include <tuple>

#include "ui/lock_platform_win.h"

namespace {

struct CountingPlatform : Win32LockPlatform {
    int clips = 0;
    void ClipCursor(const Rect* rect) override {
        ++clips;
        Win32LockPlatform::ClipCursor(rect);
    }
};

// A DPI-unaware thread locks onto a window it made, at odd coordinates. The clip is
// its client area to the pixel, widened by the tuning scaled to the display (10 is 15 pixels,
// though the window's own DPI is 96); the ticks leave it while in force and set it again once
// freed; the thread is unaware again afterwards.
TEST(LockDpi, ClipIsTheWindowsPhysicalClientAreaWithTuningsScaledToTheDisplay) {
    ASSERT_EQ(::GetDpiForSystem(), 144u) << "the prefix's DPI did not take effect";
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    HWND target = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 67, 101, 201, 133,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(::GetForegroundWindow(), target);
    ASSERT_EQ(::GetDpiForWindow(target), 96u);
    const Settings tunings{0, 0, 10, 10, 10, 10};
    LockState state;
    {
        CountingPlatform lock, inForce, freed;
        LockOnHotKey(state, 0, tunings, lock);
        LockOnTimer(state, 0, tunings, inForce);
        ::ClipCursor(nullptr); // as another program frees the cursor
        LockOnTimer(state, 0, tunings, freed);
        EXPECT_EQ(std::tie(lock.clips, inForce.clips, freed.clips), std::make_tuple(1, 0, 1))
            << "clips at the lock, a tick while in force, a tick after freeing";
    }
    EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_UNAWARE);
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    RECT client{};
    ::GetClientRect(target, &client);
    ::MapWindowPoints(target, nullptr, reinterpret_cast<POINT*>(&client), 2);
    RECT clip{};
    ::GetClipCursor(&clip);
    ::ClipCursor(nullptr);
    ::DestroyWindow(target);
    EXPECT_EQ(
        std::tie(clip.left, clip.top, clip.right, clip.bottom),
        std::make_tuple(client.left - 15, client.top - 15, client.right + 15, client.bottom + 15))
        << "client area " << client.left << "," << client.top << "," << client.right << ","
        << client.bottom;
}

} // namespace
