#include "framework/window.h"

HWND CWindow::Detach() {
    HWND hWnd = m_hWnd;
    m_hWnd = nullptr;
    return hWnd;
}

BOOL CWindow::DestroyWindow() {
    // Handlers run during the destruction still see m_hWnd.
    if (!::DestroyWindow(m_hWnd)) {
        return FALSE;
    }
    m_hWnd = nullptr;
    return TRUE;
}

std::wstring CWindow::GetWindowText() const {
    const int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) {
        return std::wstring();
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = ::GetWindowTextW(m_hWnd, text.data(), static_cast<int>(text.size()));
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}
