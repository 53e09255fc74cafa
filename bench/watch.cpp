// The bench's observer. It shows a plain window (the foreground window the hot keys are
// pressed over; its X id is the first line printed), then answers one command a line on
// stdin with one line on stdout. Times are microseconds of QueryPerformanceCounter, which
// Wine reads from the same monotonic clock the bench script reads.
//   now                  the time
//   ready TITLE          waits until a visible window TITLE answers a message: the time
//   post TITLE MSG WP    posts MSG to the window TITLE: ok | none
//   clip                 prints "armed", then waits until the clip rectangle changes:
//                        the time and the new rectangle
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

using DelayFn = LONG(NTAPI*)(BOOLEAN, const LARGE_INTEGER*);
DelayFn g_delay;
LARGE_INTEGER g_frequency;

long long Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart / (g_frequency.QuadPart / 1000000);
}

// Sleep rounds to milliseconds; the native call sleeps about the microseconds asked.
void Pause(long long microseconds) {
    LARGE_INTEGER relative;
    relative.QuadPart = -10 * microseconds;
    g_delay(FALSE, &relative);
}

void Reply(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vprintf(format, args);
    va_end(args);
    fflush(stdout);
}

bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

void Ready(const wchar_t* title) {
    const long long deadline = Now() + 30000000;
    while (Now() < deadline) {
        HWND wnd = FindWindowW(nullptr, title);
        DWORD_PTR result = 0;
        if (wnd != nullptr && IsWindowVisible(wnd) &&
            SendMessageTimeoutW(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &result)) {
            Reply("%lld\n", Now());
            return;
        }
        Pause(1000);
    }
    Reply("timeout\n");
}

void Clip() {
    RECT before, now;
    GetClipCursor(&before);
    Reply("armed\n");
    const long long deadline = Now() + 5000000;
    while (Now() < deadline) {
        GetClipCursor(&now);
        if (!SameRect(now, before)) {
            Reply("%lld %ld %ld %ld %ld\n", Now(), now.left, now.top, now.right, now.bottom);
            return;
        }
        // Each look is a server call of some 40 us: a pause keeps the poll from crowding
        // the server the measured program needs. A look every 0.2-0.3 ms then.
        Pause(100);
    }
    Reply("timeout\n");
}

DWORD WINAPI Commands(void*) {
    wchar_t line[512];
    while (fgetws(line, 512, stdin) != nullptr) {
        line[wcscspn(line, L"\r\n")] = L'\0';
        wchar_t* arg = wcschr(line, L' ');
        if (arg != nullptr)
            *arg++ = L'\0';
        if (wcscmp(line, L"now") == 0) {
            Reply("%lld\n", Now());
        } else if (wcscmp(line, L"ready") == 0 && arg != nullptr) {
            Ready(arg);
        } else if (wcscmp(line, L"clip") == 0) {
            Clip();
        } else if (wcscmp(line, L"post") == 0 && arg != nullptr) {
            // The title may hold spaces: MSG and WP are its last two words.
            wchar_t* wp = wcsrchr(arg, L' ');
            if (wp == nullptr || wp == arg)
                continue;
            *wp++ = L'\0';
            wchar_t* msg = wcsrchr(arg, L' ');
            if (msg == nullptr)
                continue;
            *msg++ = L'\0';
            HWND wnd = FindWindowW(nullptr, arg);
            const bool posted = wnd != nullptr && PostMessageW(wnd, std::wcstoul(msg, nullptr, 0),
                                                               std::wcstoul(wp, nullptr, 0), 0);
            Reply(posted ? "ok\n" : "none\n");
        } else {
            Reply("unknown\n");
        }
    }
    ExitProcess(0);
}

} // namespace

int wmain() {
    g_delay = reinterpret_cast<DelayFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll"), "NtDelayExecution")));
    QueryPerformanceFrequency(&g_frequency);
    HWND target = CreateWindowExW(0, L"STATIC", L"bench target", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                  100, 100, 640, 400, nullptr, nullptr, nullptr, nullptr);
    if (g_delay == nullptr || target == nullptr)
        return 1;
    Reply("%llu\n", static_cast<unsigned long long>(
                        reinterpret_cast<UINT_PTR>(GetPropW(target, L"__wine_x11_whole_window"))));
    CloseHandle(CreateThread(nullptr, 0, Commands, nullptr, 0, nullptr));
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
