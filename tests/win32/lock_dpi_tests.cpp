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

// A DPI-unaware thread locks onto a window at odd physical coordinates. The clip is its client
// area to the pixel, widened by the tuning scaled to 144 DPI, and the thread is unaware again
// afterwards.
TEST(LockDpi, ClipIsTheWindowsPhysicalClientAreaAndTuningsScaleAt144Dpi) {
    ASSERT_EQ(::GetDpiForSystem(), 144u) << "the prefix's DPI did not take effect";
    HWND target = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 101, 151, 301, 201,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(::GetForegroundWindow(), target);
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    {
        Win32LockPlatform platform;
        LockState state;
        LockOnHotKey(state, 0, Settings{0, 0, 10, 10, 10, 10}, platform);
    }
    EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_UNAWARE);
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    RECT clip{}; // the popup's client area, 101,151 to 402,352, and 15 more each side
    ::GetClipCursor(&clip);
    ::ClipCursor(nullptr);
    EXPECT_EQ(std::tie(clip.left, clip.top, clip.right, clip.bottom),
              std::make_tuple(86, 136, 417, 367));
}

} // namespace
