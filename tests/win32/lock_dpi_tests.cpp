// The lock on a scaled display, as a DPI-unaware program meets it on Windows: Wine starts every
// process per-monitor aware, so the test thread turns itself unaware, in a child process started
// with the prefix at 144 DPI.
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00
#define WINVER 0x0A00
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/lock_platform_win.h"

namespace {

const wchar_t kChildFlag[] = L"TETHERLY_DPI_CHILD";

// The three places Wine reads the DPI from; with only some set, processes disagree.
struct DpiSetting {
    HKEY root;
    const wchar_t* key;
} const kDpiSettings[] = {
    {HKEY_CURRENT_USER, L"Control Panel\\Desktop"},
    {HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"},
    {HKEY_CURRENT_USER, L"Software\\Wine\\Fonts"},
};

void SetPrefixDpi(DWORD dpi) {
    for (const DpiSetting& s : kDpiSettings)
        ::RegSetKeyValueW(s.root, s.key, L"LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

// The real platform, with `target` in the foreground.
class TargetPlatform : public Win32LockPlatform {
public:
    explicit TargetPlatform(HWND target) : m_target(target) {}
    WindowHandle GetForegroundWindow() override { return m_target; }

private:
    HWND m_target;
};

std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}

RECT PhysicalClientRect(HWND window) {
    RECT rc{};
    ::GetClientRect(window, &rc);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rc), 2);
    return rc;
}

void CheckClipsInPhysicalPixels() {
    ASSERT_EQ(::GetDpiForSystem(), 144u) << "the prefix's DPI did not take effect";
    HWND target = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                    nullptr, nullptr, nullptr); // per-monitor aware
    ASSERT_EQ(::GetDpiForWindow(target), 144u);
    Settings tuning;
    for (int x = 101; x < 104; ++x)
        for (int width = 301; width < 304; ++width) {
            for (std::int32_t t : {0, 10}) {
                SCOPED_TRACE(testing::Message()
                             << "x " << x << ", width " << width << ", tuning " << t);
                ::SetWindowPos(target, nullptr, x, x + 50, width, width - 100,
                               SWP_NOZORDER | SWP_NOACTIVATE);
                tuning.TuningLeft = tuning.TuningTop = tuning.TuningRight = tuning.TuningBottom = t;
                const RECT client = PhysicalClientRect(target);
                const RECT expected{client.left - 3 * t / 2, client.top - 3 * t / 2,
                                    client.right + 3 * t / 2, client.bottom + 3 * t / 2};
                ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
                {
                    TargetPlatform platform(target);
                    LockState state;
                    LockOnHotKey(state, 0, tuning, platform);
                }
                const DPI_AWARENESS after =
                    ::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext());
                ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
                EXPECT_EQ(after, DPI_AWARENESS_UNAWARE); // the thread's context comes back
                RECT clip{};
                ::GetClipCursor(&clip);
                EXPECT_EQ(Text(clip), Text(expected));
            }
        }
    ::ClipCursor(nullptr);
    ::DestroyWindow(target);
}

TEST(LockDpi, ClipIsTheWindowsPhysicalClientAreaAndTuningsScaleAt144Dpi) {
    if (::GetEnvironmentVariableW(kChildFlag, nullptr, 0)) {
        CheckClipsInPhysicalPixels();
        return;
    }
    // The child runs this test at 144 DPI; the prefix goes back to 96 for every other test.
    SetPrefixDpi(144);
    ::SetEnvironmentVariableW(kChildFlag, L"1");
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(exe) + L"\" --gtest_filter=LockDpi.*";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &si, &pi);
    DWORD exitCode = 1;
    if (started) {
        ::WaitForSingleObject(pi.hProcess, 60000);
        ::GetExitCodeProcess(pi.hProcess, &exitCode);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::SetEnvironmentVariableW(kChildFlag, nullptr);
    SetPrefixDpi(96);
    ASSERT_TRUE(started);
    EXPECT_EQ(exitCode, 0u) << "the child's failures are printed above";
}

} // namespace
