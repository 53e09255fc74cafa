#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

// Delivers everything already queued for this thread.
inline void PumpMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Sets the thread's key state as if the listed keys were held while a message is handled.
inline void HoldKeys(std::initializer_list<int> keys) {
    BYTE state[256] = {};
    for (int vk : keys)
        state[vk] = 0x80;
    ::SetKeyboardState(state);
}

inline std::wstring WindowText(HWND hWnd) {
    wchar_t buffer[512] = {};
    ::GetWindowTextW(hWnd, buffer, 512);
    return buffer;
}

inline std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}
