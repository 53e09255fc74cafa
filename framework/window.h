// Thin, non-owning wrapper around a window handle, window traits and the edit wrapper.
#pragma once

#include <windows.h>

#include <string>

// MAKEINTRESOURCEW without its C-style casts.
inline LPCWSTR ResourceIdName(UINT id) {
    return reinterpret_cast<LPCWSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(id)));
}

class CWindow {
public:
    HWND m_hWnd = nullptr;

    CWindow(HWND hWnd = nullptr) : m_hWnd(hWnd) {}
    operator HWND() const { return m_hWnd; }

    void Attach(HWND hWnd) { m_hWnd = hWnd; }
    HWND Detach();
    BOOL IsWindow() const { return ::IsWindow(m_hWnd); }

    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    HWND GetParent() const { return ::GetParent(m_hWnd); }

    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL DestroyWindow();

    BOOL SetWindowText(const std::wstring& text) { return ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;
    int GetWindowText(wchar_t* buffer, int maxCount) const {
        return ::GetWindowTextW(m_hWnd, buffer, maxCount);
    }

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageW(m_hWnd, msg, wParam, lParam);
    }
    BOOL PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageW(m_hWnd, msg, wParam, lParam);
    }
};

// Default styles for windows a class would create itself; 0 means "use the defaults".
template <DWORD t_dwStyle = 0, DWORD t_dwExStyle = 0> class CWinTraits {
public:
    static DWORD GetWndStyle(DWORD dwStyle) { return dwStyle == 0 ? t_dwStyle : dwStyle; }
    static DWORD GetWndExStyle(DWORD dwExStyle) { return dwExStyle == 0 ? t_dwExStyle : dwExStyle; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;

template <class TBase = CWindow> class CEditT : public TBase {
public:
    CEditT(HWND hWnd = nullptr) : TBase(hWnd) {}

    CEditT& operator=(HWND hWnd) {
        this->m_hWnd = hWnd;
        return *this;
    }

    static LPCWSTR GetWindowClassName() { return L"Edit"; }
};

using CEdit = CEditT<CWindow>;
