// Thin, non-owning wrapper around a window handle, window traits and the edit wrapper.
#pragma once

#include <windows.h>

// MAKEINTRESOURCEW without its C-style casts.
inline LPCWSTR ResourceIdName(UINT id) {
    return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}

class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    operator HWND() const { return m_hWnd; }

    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }

    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL DestroyWindow();

    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }
};

// Styles a class would create its own window with. Our controls only take over dialog items,
// so the traits name the styles and nothing reads them.
template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0> class CWinTraits {};

template <class TBase = CWindow> class CEditT : public TBase {
public:
    CEditT(HWND hWnd = nullptr) : TBase(hWnd) {}
};
