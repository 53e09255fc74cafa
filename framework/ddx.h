// Dialog data exchange mixin; the program uses it only to attach control objects.
#pragma once

#include <windows.h>

template <class T> class CWinDataExchange {
public:
    // Subclasses dialog item id with ctl, unless ctl is already attached.
    template <class TControl> BOOL DDX_Control(int id, TControl& ctl, BOOL /*bSaveAndValidate*/) {
        if (ctl.m_hWnd == nullptr) {
            ctl.SubclassWindow(static_cast<T*>(this)->GetDlgItem(id));
        }
        return TRUE;
    }
};

// BOOL DoDataExchange(BOOL bSaveAndValidate = FALSE, UINT nCtlID = (UINT)-1):
// nCtlID limits the exchange to one control; all when -1.
#define BEGIN_DDX_MAP(thisClass)                                                                   \
    BOOL DoDataExchange(BOOL bSaveAndValidate = FALSE, UINT nCtlID = static_cast<UINT>(-1)) {      \
        static_cast<void>(bSaveAndValidate);                                                       \
        static_cast<void>(nCtlID);

#define DDX_CONTROL(nID, obj)                                                                      \
    if (nCtlID == static_cast<UINT>(-1) || nCtlID == static_cast<UINT>(nID)) {                     \
        if (!DDX_Control(nID, obj, bSaveAndValidate)) {                                            \
            return FALSE;                                                                          \
        }                                                                                          \
    }

#define END_DDX_MAP()                                                                              \
    return TRUE;                                                                                   \
    }
