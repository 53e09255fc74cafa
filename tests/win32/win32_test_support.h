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

// Pumps messages until `done` holds or about two seconds have passed; returns `done`.
template <class Pred> bool PumpUntil(Pred done) {
    for (int i = 0; i < 100 && !done(); ++i) {
        PumpMessages();
        ::Sleep(20);
    }
    return done();
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
