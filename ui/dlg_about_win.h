#pragma once
#include <windows.h>

#include <commctrl.h>

#include "framework/dialog_impl.h"
#include "framework/message_map.h"
#include "res/resource.h"

// True while ShowAboutBox runs a modal About dialog.
extern bool AboutDialogOpen;

// Shows the About dialog modally, owned by the active window; returns at once when
// one is already open.
void ShowAboutBox();

class CDlgAbout : public CDialogImpl<CDlgAbout> {
public:
    enum { IDD = IDD_ABOUT };

    BEGIN_MSG_MAP(CDlgAbout)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnCloseCmd)
        COMMAND_ID_HANDLER(IDCANCEL, OnCloseCmd)
        NOTIFY_HANDLER(IDC_LINK, NM_CLICK, OnLinkClick)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnCloseCmd(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnLinkClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);

protected:
    void OnFinalMessage(HWND hWnd) override;
};
