// The lock on a scaled display, as a DPI-unaware program meets it on Windows: Wine starts every
// process per-monitor aware, so the test thread turns itself unaware, in a child process started
// with the prefix at 144 DPI.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00
#include <windows.h>

#include <gtest/gtest.h>

#include <process.h>

#include <tuple>

#include "ui/lock_platform_win.h"

namespace {

// The three places Wine reads the DPI from; with only some set, processes disagree.
void SetPrefixDpi(DWORD dpi) {
    for (const auto& [root, key] :
         {std::pair(HKEY_CURRENT_USER, L"Control Panel\\Desktop"),
          std::pair(HKEY_LOCAL_MACHINE,
                    L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"),
          std::pair(HKEY_CURRENT_USER, L"Software\\Wine\\Fonts")})
        ::RegSetKeyValueW(root, key, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

// In the child, at 144 DPI: a DPI-unaware thread locks onto a window at odd physical
// coordinates. The clip is its client area to the pixel, widened by the tuning scaled to
// 144 DPI, and the thread is unaware again afterwards.
TEST(LockDpi, ClipIsTheWindowsPhysicalClientAreaAndTuningsScaleAt144Dpi) {
    if (::GetEnvironmentVariableW(L"TETHERLY_DPI_CHILD", nullptr, 0)) {
        ASSERT_EQ(::GetDpiForSystem(), 144u) << "the prefix's DPI did not take effect";
        HWND target = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 101, 151, 301,
                                        201, nullptr, nullptr, nullptr, nullptr);
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
        EXPECT_EQ(std::tie(clip.left, clip.top, clip.right, clip.bottom),
                  std::make_tuple(86, 136, 417, 367));
        ::ClipCursor(nullptr);
        return;
    }
    // The prefix goes back to 96 DPI for every other test.
    SetPrefixDpi(144);
    ::SetEnvironmentVariableW(L"TETHERLY_DPI_CHILD", L"1");
    const intptr_t exitCode =
        _spawnl(_P_WAIT, _pgmptr, _pgmptr, "--gtest_filter=LockDpi.*", nullptr);
    ::SetEnvironmentVariableW(L"TETHERLY_DPI_CHILD", nullptr);
    SetPrefixDpi(96);
    EXPECT_EQ(exitCode, 0) << "the child's failures are printed above";
}

} // namespace
