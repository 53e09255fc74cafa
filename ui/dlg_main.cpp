#include "ui/dlg_main.h"

#include <cstddef>

#include "controls/key_names.h"
#include "framework/strings.h"
#include "ui/dialog_helpers.h"
#include "ui/dlg_about.h"
#include "ui/lock_platform_win.h"

// The record up to and including guidItem: 952 bytes in a 32-bit build, 968 in a
// 64-bit one, where hBalloonIcon (the next field) is pointer-aligned.
constexpr DWORD kTrayRecordSize = offsetof(NOTIFYICONDATAW, hBalloonIcon);
static_assert(kTrayRecordSize == (sizeof(void*) == 8 ? 968 : 952));

CDlgMain::CDlgMain() : m_uTaskbarCreated(::RegisterWindowMessageW(L"TaskbarCreated")) {
    m_settings.Load();
}

// Out of line: with link-time optimisation, GCC 12 otherwise emits its thunks twice.
CDlgMain::~CDlgMain() = default;

BOOL CDlgMain::PreTranslateMessage(MSG* pMsg) {
    return ::IsDialogMessageW(m_hWnd, pMsg);
}

BOOL CDlgMain::OnIdle() {
    return FALSE;
}

LRESULT CDlgMain::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
    DoDataExchange(FALSE);
    if (CMessageLoop* loop = g_appModule.GetMessageLoop(::GetCurrentThreadId())) {
        loop->AddMessageFilter(this);
        loop->AddIdleHandler(this);
    }
    CenterDialog(m_hWnd, nullptr);
    SetDialogIcons(m_hWnd);
    AddTrayIcon();
    ::SetTimer(m_hWnd, kFollowTimerId, kFollowTimerMs, nullptr);
    FillControls();
    return 1;
}

LRESULT CDlgMain::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    CleanUp();
    return 1;
}

// Only answers: the session may still be cancelled, and then the program must run on whole.
LRESULT CDlgMain::OnQueryEndSession(UINT, WPARAM, LPARAM, BOOL&) {
    return 1;
}

LRESULT CDlgMain::OnEndSession(UINT, WPARAM wParam, LPARAM, BOOL&) {
    if (wParam)
        CleanUp();
    return 0;
}

// Runs at the session's end and again at WM_DESTROY; the second run changes nothing.
void CDlgMain::CleanUp() {
    ::KillTimer(m_hWnd, kFollowTimerId);
    ::UnregisterHotKey(m_hWnd, kHotKeyId);
    {
        Win32LockPlatform platform;
        LockOnCleanUp(m_lockState, platform); // no confinement outlives the program
    }
    RemoveTrayIcon();
    if (CMessageLoop* loop = g_appModule.GetMessageLoop(::GetCurrentThreadId())) {
        loop->RemoveMessageFilter(this);
        loop->RemoveIdleHandler(this);
    }
}

void CDlgMain::OnFinalMessage(HWND hWnd) {
    ReleaseDialogIcons(hWnd);
}

LRESULT CDlgMain::OnHotKey(UINT, WPARAM wParam, LPARAM, BOOL&) {
    Win32LockPlatform platform;
    LockOnHotKey(m_lockState, wParam, m_settings, platform);
    return 1;
}

LRESULT CDlgMain::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL&) {
    Win32LockPlatform platform;
    LockOnTimer(m_lockState, wParam, m_settings, platform);
    return 1;
}

void CDlgMain::FillControls() {
    const ModifierFlags flags = FlagsFromModifiers(m_settings.Modifiers);
    m_hotKeyBox.SetHotKey(KeyFromStoredHotKey(m_settings.HotKey), flags.ctrl, flags.shift,
                          flags.alt, flags.win);
    m_leftBox.SetValue(m_settings.TuningLeft);
    m_topBox.SetValue(m_settings.TuningTop);
    m_rightBox.SetValue(m_settings.TuningRight);
    m_bottomBox.SetValue(m_settings.TuningBottom);
}

// OK and Cancel act only on the dialog the user sees: a WM_CLOSE, Esc or Enter reaching
// the hidden dialog must not re-register the hot key and warn that it failed.
LRESULT CDlgMain::ApplyOptions(WORD, WORD, HWND, BOOL&) {
    if (!IsWindowVisible())
        return 0;
    std::uint8_t key = 0;
    bool ctrl = false, shift = false, alt = false, win = false;
    m_hotKeyBox.GetHotKey(key, ctrl, shift, alt, win);
    const std::uint32_t modifiers = ModifiersFromFlags(ctrl, shift, alt, win);
    if (key == 0)
        ShowInfoMessage(m_hWnd, IDS_HOTKEY_FAILED);

    m_settings.HotKey = key;
    m_settings.Modifiers = modifiers;
    m_settings.TuningLeft = m_leftBox.GetValue();
    m_settings.TuningTop = m_topBox.GetValue();
    m_settings.TuningRight = m_rightBox.GetValue();
    m_settings.TuningBottom = m_bottomBox.GetValue();
    m_settings.Save();
    RegisterHotKeyAndHide();
    return 0;
}

LRESULT CDlgMain::DiscardOptions(WORD, WORD, HWND, BOOL&) {
    if (!IsWindowVisible())
        return 0;
    FillControls();
    RegisterHotKeyAndHide();
    return 0;
}

void CDlgMain::RegisterHotKeyAndHide() {
    // MOD_NOREPEAT: a held hot key toggles the lock once. The stored value never carries it.
    if (!::RegisterHotKey(m_hWnd, kHotKeyId, m_settings.Modifiers | MOD_NOREPEAT,
                          m_settings.HotKey))
        ShowInfoMessage(m_hWnd, IDS_HOTKEY_FAILED);
    ShowWindow(SW_HIDE);
}

void CDlgMain::UnregisterHotKeyAndShow() {
    ::UnregisterHotKey(m_hWnd, kHotKeyId);
    ShowWindow(SW_SHOW);
    // SW_SHOW leaves a minimized dialog minimized.
    if (::IsIconic(m_hWnd))
        ShowWindow(SW_RESTORE);
}

LRESULT CDlgMain::OnOption(WORD, WORD, HWND, BOOL&) {
    UnregisterHotKeyAndShow();
    return 1;
}

LRESULT CDlgMain::OnQuit(WORD, WORD, HWND, BOOL&) {
    ::PostQuitMessage(0);
    return 1;
}

LRESULT CDlgMain::OnAbout(WORD, WORD, HWND, BOOL&) {
    ShowAboutBox();
    return 1;
}

LRESULT CDlgMain::OnWebSite(WORD, WORD, HWND, BOOL&) {
    OpenWebSite();
    return 1;
}

LRESULT CDlgMain::OnLinkClick(int, LPNMHDR, BOOL&) {
    OpenWebSite();
    return 1;
}

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
    ::Shell_NotifyIconW(NIM_ADD, &m_nid);
}

void CDlgMain::RemoveTrayIcon() {
    ::Shell_NotifyIconW(NIM_DELETE, &m_nid);
    m_trayIcon.reset();
}

LRESULT CDlgMain::OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    // Not after the clean-up, which released the icon.
    if (m_uTaskbarCreated == 0 || !m_trayIcon) {
        bHandled = FALSE;
        return 0;
    }
    // A restarted taskbar has forgotten our icon: add the same record again.
    ::Shell_NotifyIconW(NIM_ADD, &m_nid);
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
