#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "framework/app_module.h"

// Delivers everything already queued for this thread, as Wine's tests do before asserting.
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

// Closes every message box that opens while it is armed, remembering each text.
// A thread timer fires inside the box's own modal loop.
class MessageBoxCloser {
public:
    MessageBoxCloser() {
        s_texts.clear();
        m_timer = ::SetTimer(nullptr, 0, 50, &MessageBoxCloser::OnTimer);
    }
    ~MessageBoxCloser() { ::KillTimer(nullptr, m_timer); }
    MessageBoxCloser(const MessageBoxCloser&) = delete;
    MessageBoxCloser& operator=(const MessageBoxCloser&) = delete;

    const std::vector<std::wstring>& Texts() const { return s_texts; }
    static HWND LastOwner() { return s_owner; }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
        ::EnumThreadWindows(::GetCurrentThreadId(), &MessageBoxCloser::CloseBox, 0);
    }
    static BOOL CALLBACK CloseBox(HWND hWnd, LPARAM) {
        wchar_t cls[64] = {};
        ::GetClassNameW(hWnd, cls, 64);
        // A message box is a dialog whose text sits in static control 0xFFFF.
        HWND label = ::GetDlgItem(hWnd, 0xFFFF);
        if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(hWnd) && label &&
            ::GetDlgItem(hWnd, IDOK) && !::GetDlgItem(hWnd, 1001) && !::GetDlgItem(hWnd, 1006)) {
            s_texts.push_back(WindowText(label));
            s_owner = ::GetWindow(hWnd, GW_OWNER);
            ::PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    static inline std::vector<std::wstring> s_texts;
    static inline HWND s_owner = nullptr;
    UINT_PTR m_timer = 0;
};
