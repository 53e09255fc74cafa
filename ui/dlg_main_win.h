#pragma once
#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include "controls/integer_box_win.h"
#include "controls/key_detect_box_win.h"
#include "framework/app_module.h"
#include "framework/ddx.h"
#include "framework/dialog_impl.h"
#include "framework/message_map.h"
#include "framework/update_ui.h"
#include "res/resource.h"
#include "settings/settings_win.h"
#include "ui/lock_engine.h"
#include "framework/unique_handle.h"

inline constexpr UINT kTrayCallbackMessage = WM_USER + 1;
inline constexpr int kHotKeyId = 0;
inline constexpr UINT_PTR kFollowTimerId = 0;
inline constexpr UINT kFollowTimerMs = 500;

// The options dialog, and the hidden owner of the hot key, the follow timer,
// the tray icon and the mouse lock.
class CDlgMain : public CDialogImpl<CDlgMain>,
                 public CUpdateUI<CDlgMain>,
                 public CMessageFilter,
                 public CIdleHandler,
                 public CWinDataExchange<CDlgMain> {
public:
    enum { IDD = IDD_MAIN };

    CDlgMain();
    ~CDlgMain() override;

    BOOL PreTranslateMessage(MSG* pMsg) override;
    BOOL OnIdle() override;

    BEGIN_DDX_MAP(CDlgMain)
        DDX_CONTROL(IDC_HOTKEY, m_hotKeyBox)
        DDX_CONTROL(IDC_LEFT, m_leftBox)
        DDX_CONTROL(IDC_TOP, m_topBox)
        DDX_CONTROL(IDC_RIGHT, m_rightBox)
        DDX_CONTROL(IDC_BOTTOM, m_bottomBox)
    END_DDX_MAP()

    BEGIN_MSG_MAP(CDlgMain)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_QUERYENDSESSION, OnQueryEndSession)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
        MESSAGE_HANDLER(WM_HOTKEY, OnHotKey)
        MESSAGE_HANDLER(kTrayCallbackMessage, OnTrayNotify)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        NOTIFY_HANDLER(IDC_LINK, NM_CLICK, OnLinkClick)
        COMMAND_ID_HANDLER(ID_APP_ABOUT, OnAbout)
        COMMAND_ID_HANDLER(IDOK, ApplyOptions)
        COMMAND_ID_HANDLER(IDCANCEL, DiscardOptions)
        COMMAND_ID_HANDLER(ID_TRAY_OPTION, OnOption)
        COMMAND_ID_HANDLER(ID_TRAY_ABOUT, OnAbout)
        COMMAND_ID_HANDLER(ID_TRAY_QUIT, OnQuit)
        COMMAND_ID_HANDLER(ID_TRAY_WEBSITE, OnWebSite)
        MESSAGE_HANDLER(m_uTaskbarCreated, OnTaskbarCreated)
    END_MSG_MAP()

    LRESULT OnInitDialog(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnQueryEndSession(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnEndSession(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnHotKey(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnTrayNotify(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnTimer(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnTaskbarCreated(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    LRESULT OnLinkClick(int idCtrl, LPNMHDR pnmh, BOOL& bHandled);
    LRESULT OnAbout(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT ApplyOptions(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT DiscardOptions(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnOption(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnQuit(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);
    LRESULT OnWebSite(WORD wNotifyCode, WORD wID, HWND hWndCtl, BOOL& bHandled);

    void FillControls();
    void AddTrayIcon();
    void RemoveTrayIcon();
    // True when the shell shows the icon, added now or before.
    bool ShowTrayIcon();

    const NOTIFYICONDATAW& GetTrayRecord() const { return m_nid; }

protected:
    void OnFinalMessage(HWND hWnd) override;

private:
    void CleanUp();
    void RegisterHotKeyAndHide();
    void UnregisterHotKeyAndShow();
    void ShowTrayMenu();

    Settings m_settings;
    NOTIFYICONDATAW m_nid{};
    UniqueIcon m_trayIcon;
    // False while the shell has refused the icon: the timer tries again.
    bool m_bTrayIconShown = false;
    LockState m_lockState; // m_bLocked, m_hLockedWnd
    CIntegerBox m_leftBox;
    CIntegerBox m_topBox;
    CIntegerBox m_rightBox;
    CIntegerBox m_bottomBox;
    CKeyDetectBox m_hotKeyBox;
    // Broadcast when the taskbar (re)starts; 0 if it could not be registered.
    UINT m_uTaskbarCreated = 0;
};
