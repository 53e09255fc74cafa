#include "ui/dlg_about_win.h"

#include "ui/dialog_helpers_win.h"

bool AboutDialogOpen = false;

void ShowAboutBox() {
    // Guards against re-entry through the modal loop (the tray menu stays usable).
    if (AboutDialogOpen)
        return;
    AboutDialogOpen = true;
    {
        CDlgAbout dlg;
        dlg.DoModal(::GetActiveWindow(), 0);
    }
    AboutDialogOpen = false;
}

LRESULT CDlgAbout::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    CenterDialog(m_hWnd, ::GetParent(m_hWnd));
    SetDialogIcons(m_hWnd);
    return TRUE;
}

LRESULT CDlgAbout::OnCloseCmd(WORD, WORD wID, HWND, BOOL&) {
    EndDialog(wID);
    return 0;
}

LRESULT CDlgAbout::OnLinkClick(int, LPNMHDR, BOOL&) {
    OpenWebSite();
    return 1;
}

void CDlgAbout::OnFinalMessage(HWND hWnd) {
    ReleaseDialogIcons(hWnd);
}
