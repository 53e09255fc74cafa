// The main dialog's tray icon and its menu.
#include <cstddef>

#include "framework/strings.h"
#include "ui/dlg_main_win.h"

// The record up to and including guidItem: 952 bytes in a 32-bit build, 968 in a
// 64-bit one, where hBalloonIcon (the next field) is pointer-aligned.
constexpr DWORD kTrayRecordSize = offsetof(NOTIFYICONDATAW, hBalloonIcon);
static_assert(kTrayRecordSize == (sizeof(void*) == 8 ? 968 : 952));

void CDlgMain::AddTrayIcon() {
    m_nid.cbSize = kTrayRecordSize;
    m_nid.hWnd = m_hWnd;
    m_nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    const std::wstring tip = LoadResourceString(IDS_TRAY_TIP);
    // Bounded copy: never runs past szTip, always terminated.
    ::lstrcpynW(m_nid.szTip, tip.c_str(), static_cast<int>(std::size(m_nid.szTip)));
    m_nid.uCallbackMessage = kTrayCallbackMessage;
    // The group holds one small image: load it at the small size, not scaled from the large.
    m_trayIcon.reset(static_cast<HICON>(::LoadImageW(
        g_appModule.GetResourceInstance(), MAKEINTRESOURCEW(IDI_TRAY), IMAGE_ICON,
        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    m_nid.hIcon = m_trayIcon.get();
    m_bTrayIconShown = ShowTrayIcon();
}

// A shell still busy at logon refuses the icon; one that timed out may have added it anyway,
// and then only a modify succeeds.
bool CDlgMain::ShowTrayIcon() {
    return ::Shell_NotifyIconW(NIM_ADD, &m_nid) || ::Shell_NotifyIconW(NIM_MODIFY, &m_nid);
}

void CDlgMain::RemoveTrayIcon() {
    ::Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_bTrayIconShown = false;
    m_trayIcon.reset();
}

LRESULT CDlgMain::OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    // Not after the clean-up, which released the icon.
    if (m_uTaskbarCreated == 0 || !m_trayIcon) {
        bHandled = FALSE;
        return 0;
    }
    // A restarted taskbar has forgotten our icon: add the same record again.
    m_bTrayIconShown = ShowTrayIcon();
    return 1;
}

LRESULT CDlgMain::OnTrayNotify(UINT, WPARAM, LPARAM lParam, BOOL&) {
    switch (static_cast<UINT>(lParam)) {
    case WM_LBUTTONUP:
        UnregisterHotKeyAndShow();
        break;
    case WM_RBUTTONUP:
        ShowTrayMenu();
        break;
    default:
        break;
    }
    return 1;
}

void CDlgMain::ShowTrayMenu() {
    // The popup closes on a click elsewhere only when its owner is the foreground window.
    ::SetForegroundWindow(m_hWnd);
    POINT pt{};
    ::GetCursorPos(&pt);
    UniqueMenu menu(::LoadMenuW(g_appModule.GetResourceInstance(), MAKEINTRESOURCEW(IDR_TRAYMENU)));
    if (!menu)
        return;
    HMENU popup = ::GetSubMenu(menu.get(), 0);
    if (!popup)
        return;
    ::SetMenuDefaultItem(popup, ID_TRAY_OPTION, FALSE);
    ::TrackPopupMenu(popup, TPM_RIGHTALIGN, pt.x, pt.y, 0, m_hWnd, nullptr);
    // Lets the next popup open and close properly.
    PostMessage(WM_NULL);
}
