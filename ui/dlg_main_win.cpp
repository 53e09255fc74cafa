#include "ui/dlg_main_win.h"

#include "controls/key_names.h"
#include "ui/dialog_helpers_win.h"
#include "ui/dlg_about_win.h"
#include "ui/lock_platform_win.h"

CDlgMain::CDlgMain() : m_uTaskbarCreated(::RegisterWindowMessageW(L"TaskbarCreated")) {
    m_settings.Load(DefaultSettingsRegistry());
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
    // Not after the clean-up, which released the icon.
    if (!m_bTrayIconShown && m_trayIcon)
        m_bTrayIconShown = ShowTrayIcon();
    Win32LockPlatform platform;
    LockOnTimer(m_lockState, wParam, m_settings, platform);
    return 1;
}

void CDlgMain::FillControls() {
    const HotKeyValue key = HotKeyFromSettings(m_settings.HotKey, m_settings.Modifiers);
    m_hotKeyBox.SetHotKey(key.vk, key.ctrl, key.shift, key.alt, key.win);
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
    HotKeyValue key;
    m_hotKeyBox.GetHotKey(key.vk, key.ctrl, key.shift, key.alt, key.win);
    if (key.vk == 0)
        ShowInfoMessage(m_hWnd, IDS_HOTKEY_FAILED);

    m_settings.HotKey = key.vk;
    m_settings.Modifiers = ModifiersOf(key);
    m_settings.TuningLeft = m_leftBox.GetValue();
    m_settings.TuningTop = m_topBox.GetValue();
    m_settings.TuningRight = m_rightBox.GetValue();
    m_settings.TuningBottom = m_bottomBox.GetValue();
    // Lost at exit unless the user learns of it; they still apply for this run.
    if (!m_settings.Save(DefaultSettingsRegistry()))
        ShowInfoMessage(m_hWnd, IDS_SAVE_FAILED);
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
