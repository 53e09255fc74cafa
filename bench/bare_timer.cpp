// Baseline for idle CPU: a hidden window with the program's 500 ms timer and a message loop.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"bench timer", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               instance, nullptr);
    if (wnd == nullptr || SetTimer(wnd, 1, 500, nullptr) == 0)
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
