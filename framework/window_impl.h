// Window implementation: takes over an existing window and runs T's message map first.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "framework/message_map.h"
#include "framework/window.h"

template <class T, class TBase = CWindow, class TWinTraits = CWinTraits<>>
class CWindowImpl : public TBase, public CMessageMap {
public:
    CWindowImpl() = default;
    CWindowImpl(const CWindowImpl&) = delete;
    CWindowImpl& operator=(const CWindowImpl&) = delete;

    virtual ~CWindowImpl() { UnsubclassWindow(); }

    // Once per window: refused for a null or dead handle and while attached.
    // The window must belong to the calling thread.
    BOOL SubclassWindow(HWND hWnd) {
        if (this->m_hWnd != nullptr || hWnd == nullptr || !::IsWindow(hWnd)) {
            return FALSE;
        }
        if (!::SetWindowSubclass(hWnd, SubclassProc, SubclassId(),
                                 reinterpret_cast<DWORD_PTR>(this))) {
            return FALSE;
        }
        this->m_hWnd = hWnd;
        return TRUE;
    }

    // Gives the window back to its previous procedure; returns the window.
    HWND UnsubclassWindow() {
        HWND hWnd = this->m_hWnd;
        if (hWnd == nullptr) {
            return nullptr;
        }
        ::RemoveWindowSubclass(hWnd, SubclassProc, SubclassId());
        this->m_hWnd = nullptr;
        return hWnd;
    }

    // Called after WM_NCDESTROY, when the subclass is gone and m_hWnd is cleared.
    virtual void OnFinalMessage(HWND) {}

private:
    UINT_PTR SubclassId() const { return reinterpret_cast<UINT_PTR>(this); }

    static LRESULT CALLBACK SubclassProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR idSubclass, DWORD_PTR refData) {
        auto* self = reinterpret_cast<CWindowImpl*>(refData);
        LRESULT lResult = 0;
        if (!self->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0)) {
            lResult = ::DefSubclassProc(hWnd, uMsg, wParam, lParam);
        }
        if (uMsg == WM_NCDESTROY) {
            ::RemoveWindowSubclass(hWnd, SubclassProc, idSubclass);
            if (self->m_hWnd == hWnd) {
                self->m_hWnd = nullptr;
            }
            // May delete the object: nothing touches it afterwards.
            self->OnFinalMessage(hWnd);
        }
        return lResult;
    }
};
