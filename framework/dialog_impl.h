// Dialog implementation: a dialog from template T::IDD whose messages go to T's message map.
#pragma once

#include <windows.h>

#include "framework/app_module.h"
#include "framework/message_map.h"
#include "framework/window.h"

namespace dialog_impl_detail {

// Messages whose result is the dialog procedure's return value rather than DWLP_MSGRESULT.
inline bool ReturnsResultDirectly(UINT uMsg) {
    switch (uMsg) {
    case WM_INITDIALOG:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        return true;
    default:
        return false;
    }
}

} // namespace dialog_impl_detail

// The object is kept in the window's DWLP_USER slot.
template <class T, class TBase = CWindow> class CDialogImpl : public TBase, public CMessageMap {
public:
    CDialogImpl() = default;
    CDialogImpl(const CDialogImpl&) = delete;
    CDialogImpl& operator=(const CDialogImpl&) = delete;

    virtual ~CDialogImpl() {
        // A window that outlives its object must no longer call into it.
        if (this->m_hWnd != nullptr && ::IsWindow(this->m_hWnd)) {
            ::SetWindowLongPtrW(this->m_hWnd, DWLP_USER, 0);
        }
    }

    // Modeless; the window is created hidden unless the template says otherwise.
    HWND Create(HWND hWndParent, LPARAM dwInitParam = 0) {
        if (this->m_hWnd != nullptr) {
            return nullptr;
        }
        g_appModule.AddCreateWndData(this);
        HWND hWnd = ::CreateDialogParamW(g_appModule.GetResourceInstance(), ResourceIdName(T::IDD),
                                         hWndParent, StartDialogProc, dwInitParam);
        if (hWnd == nullptr) {
            // Not taken when no message arrived; never leave it for the next window.
            g_appModule.ExtractCreateWndData();
        }
        return hWnd;
    }

    // Returns the EndDialog code, or -1 when the dialog cannot be created.
    INT_PTR DoModal(HWND hWndParent = ::GetActiveWindow(), LPARAM dwInitParam = 0) {
        if (this->m_hWnd != nullptr) {
            return -1;
        }
        g_appModule.AddCreateWndData(this);
        const INT_PTR result =
            ::DialogBoxParamW(g_appModule.GetResourceInstance(), ResourceIdName(T::IDD), hWndParent,
                              StartDialogProc, dwInitParam);
        if (result == -1) {
            g_appModule.ExtractCreateWndData();
        }
        return result;
    }

    BOOL EndDialog(int nRetCode) { return ::EndDialog(this->m_hWnd, nRetCode); }

    // Called after WM_NCDESTROY, when m_hWnd is already cleared.
    virtual void OnFinalMessage(HWND) {}

private:
    static INT_PTR CALLBACK StartDialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
        auto* self = static_cast<CDialogImpl*>(g_appModule.ExtractCreateWndData());
        if (self == nullptr) {
            return FALSE;
        }
        self->m_hWnd = hWnd;
        ::SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        ::SetWindowLongPtrW(hWnd, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(DialogProc));
        return DialogProc(hWnd, uMsg, wParam, lParam);
    }

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<CDialogImpl*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
        if (self == nullptr) {
            return FALSE;
        }

        LRESULT lResult = 0;
        const BOOL handled = self->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult, 0);

        INT_PTR ret = FALSE;
        if (handled) {
            if (dialog_impl_detail::ReturnsResultDirectly(uMsg)) {
                ret = static_cast<INT_PTR>(lResult);
            } else {
                ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, static_cast<LONG_PTR>(lResult));
                ret = TRUE;
            }
        }

        if (uMsg == WM_NCDESTROY) {
            ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
            self->m_hWnd = nullptr;
            // May delete the object: nothing touches it afterwards.
            self->OnFinalMessage(hWnd);
        }
        return ret;
    }
};
