#include <windows.h>

#include <gtest/gtest.h>

#include "app/run_loop.h"
#include "framework/app_module.h"
#include "res/resource.h"
#include "ui/dialog_helpers.h"
#include "ui/dlg_main.h"
#include "win32_test_support.h"

namespace {

const wchar_t kKey[] = L"Software\\Corvane Studio\\qzTetherly";
const wchar_t kRefused[] = L"Failed to register hot key. Perhaps it is used by other "
                           L"applications. Please use another key.";

void PlantDword(const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                &key, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    ::RegCloseKey(key);
}

bool StoredDword(const wchar_t* name, DWORD& value) {
    DWORD size = sizeof value;
    return ::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                          &size) == ERROR_SUCCESS;
}

bool KeyExists() {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    return true;
}

// Whether some window already holds the combination.
bool HotKeyTaken(UINT modifiers, UINT vk) {
    if (!::RegisterHotKey(nullptr, 0xB000, modifiers, vk))
        return true;
    ::UnregisterHotKey(nullptr, 0xB000);
    return false;
}

class MainDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { g_appModule.Init(::GetModuleHandleW(nullptr)); }

    void SetUp() override {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        g_appModule.AddMessageLoop(&m_loop);
    }
    void Open() {
        m_dlg = std::make_unique<CDlgMain>();
        ASSERT_NE(m_dlg->Create(nullptr, 0), nullptr);
        m_dlg->ShowWindow(SW_SHOW);
        PumpMessages();
    }
    void TearDown() override {
        if (m_dlg && m_dlg->IsWindow())
            m_dlg->DestroyWindow();
        m_dlg.reset();
        g_appModule.RemoveMessageLoop();
        HoldKeys({});
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        PumpMessages();
    }
    HWND Item(int id) const { return ::GetDlgItem(m_dlg->m_hWnd, id); }
    void PressIntoHotKeyBox(WPARAM vk, LPARAM keyData, std::initializer_list<int> held) {
        HoldKeys(held);
        ::SendMessageW(Item(IDC_HOTKEY), WM_KEYDOWN, vk, keyData);
        HoldKeys({});
    }
    void Command(WORD id, WORD code = 0) {
        ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, MAKEWPARAM(id, code), 0);
        PumpMessages();
    }
    bool Visible() const { return ::IsWindowVisible(m_dlg->m_hWnd) != FALSE; }

    CMessageLoop m_loop;
    std::unique_ptr<CDlgMain> m_dlg;
};

TEST_F(MainDialog, StartsWithTheStoredSettingsAndATrayRecord) {
    PlantDword(L"HotKey", 0x141);
    PlantDword(L"Modifiers", 0x4009);
    PlantDword(L"TuningLeft", static_cast<DWORD>(-5));
    PlantDword(L"TuningBottom", 1234567890);
    Open();
    EXPECT_EQ(WindowText(m_dlg->m_hWnd), L"Corvane Tetherly 1.2");
    EXPECT_EQ(WindowText(Item(IDC_HOTKEY)), L"Alt+Win+A");
    EXPECT_EQ(WindowText(Item(IDC_LEFT)), L"-5");
    EXPECT_EQ(WindowText(Item(IDC_TOP)), L"0");
    EXPECT_EQ(WindowText(Item(IDC_RIGHT)), L"0");
    EXPECT_EQ(WindowText(Item(IDC_BOTTOM)), L"1234567890");
    EXPECT_EQ(m_dlg->GetSettings().HotKey, 0x141u);
    EXPECT_TRUE(Visible());

    const NOTIFYICONDATAW& nid = m_dlg->GetTrayRecord();
    EXPECT_EQ(nid.cbSize, sizeof(void*) == 8 ? 968u : 952u);
    EXPECT_EQ(nid.hWnd, m_dlg->m_hWnd);
    EXPECT_EQ(nid.uFlags, 7u);
    EXPECT_EQ(nid.uCallbackMessage, 1025u);
    EXPECT_NE(nid.hIcon, nullptr);
    EXPECT_STREQ(nid.szTip, L"Corvane Tetherly 1.0");
    // The hot key is not registered before the first OK or Cancel.
    EXPECT_FALSE(HotKeyTaken(MOD_ALT | MOD_WIN, 'A'));
}

TEST_F(MainDialog, OkSavesRegistersAndHides) {
    Open();
    PressIntoHotKeyBox(VK_F8, 0x00420001, {VK_CONTROL, VK_SHIFT});
    ::SetWindowTextW(Item(IDC_LEFT), L"10");
    ::SetWindowTextW(Item(IDC_TOP), L"-20");
    ::SetWindowTextW(Item(IDC_RIGHT), L"1234567890");
    ::SetWindowTextW(Item(IDC_BOTTOM), L"abc");
    MessageBoxCloser boxes;
    Command(IDOK, BN_CLICKED);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_FALSE(Visible());

    struct Row {
        const wchar_t* name;
        DWORD value;
    };
    const Row rows[] = {{L"HotKey", VK_F8},          {L"Modifiers", MOD_CONTROL | MOD_SHIFT},
                        {L"TuningLeft", 10},         {L"TuningTop", 0xFFFFFFECu},
                        {L"TuningRight", 123456789}, {L"TuningBottom", 0}};
    for (const Row& r : rows) {
        DWORD stored = 0xDEADBEEF;
        EXPECT_TRUE(StoredDword(r.name, stored)) << Narrow(r.name);
        EXPECT_EQ(stored, r.value) << Narrow(r.name);
    }
    wchar_t version[16] = {};
    DWORD size = sizeof version;
    EXPECT_EQ(
        ::RegGetValueW(HKEY_CURRENT_USER, kKey, L"Version", RRF_RT_REG_SZ, nullptr, version, &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(version, L"1.2");
    EXPECT_TRUE(HotKeyTaken(MOD_CONTROL | MOD_SHIFT, VK_F8));

    // Showing the dialog again frees the hot key; the boxes keep what was confirmed.
    Command(ID_TRAY_OPTION, 1);
    EXPECT_TRUE(Visible());
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL | MOD_SHIFT, VK_F8));
    EXPECT_EQ(WindowText(Item(IDC_BOTTOM)), L"abc");
}

TEST_F(MainDialog, OkWithoutAKeyWarnsFirstThenSavesAndHides) {
    Open();
    MessageBoxCloser boxes;
    Command(IDOK);
    ASSERT_FALSE(boxes.Texts().empty());
    EXPECT_EQ(boxes.Texts().front(), kRefused);
    EXPECT_EQ(MessageBoxCloser::LastOwner(), m_dlg->m_hWnd);
    DWORD hotKey = 1;
    EXPECT_TRUE(StoredDword(L"HotKey", hotKey));
    EXPECT_EQ(hotKey, 0u);
    EXPECT_FALSE(Visible());
}

TEST_F(MainDialog, OkWithACombinationHeldElsewhereSavesWarnsAndHides) {
    ASSERT_TRUE(::RegisterHotKey(nullptr, 0xB001, MOD_CONTROL, VK_F7));
    Open();
    PressIntoHotKeyBox(VK_F7, 0x00410001, {VK_CONTROL});
    MessageBoxCloser boxes;
    Command(IDOK);
    ::UnregisterHotKey(nullptr, 0xB001);
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], kRefused);
    DWORD hotKey = 0;
    EXPECT_TRUE(StoredDword(L"HotKey", hotKey));
    EXPECT_EQ(hotKey, static_cast<DWORD>(VK_F7));
    EXPECT_FALSE(Visible());
}

TEST_F(MainDialog, CancelRestoresTheBoxesWritesNothingAndRegistersTheStoredKey) {
    Open();
    // Nothing stored yet: key 0 with no modifiers.
    PressIntoHotKeyBox('Q', 0x00100001, {VK_CONTROL});
    ::SetWindowTextW(Item(IDC_TOP), L"77");
    MessageBoxCloser boxes;
    Command(IDCANCEL);
    EXPECT_EQ(WindowText(Item(IDC_HOTKEY)), L"");
    EXPECT_EQ(WindowText(Item(IDC_TOP)), L"0");
    EXPECT_FALSE(KeyExists());
    EXPECT_FALSE(Visible());
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL, 'Q'));
}

TEST_F(MainDialog, CancelRegistersTheStoredCombination) {
    PlantDword(L"HotKey", VK_F6);
    PlantDword(L"Modifiers", MOD_ALT);
    Open();
    PressIntoHotKeyBox('Z', 0x002C0001, {});
    MessageBoxCloser boxes;
    Command(IDCANCEL);
    EXPECT_TRUE(boxes.Texts().empty());
    EXPECT_EQ(WindowText(Item(IDC_HOTKEY)), L"Alt+F6");
    EXPECT_TRUE(HotKeyTaken(MOD_ALT, VK_F6));
    EXPECT_FALSE(HotKeyTaken(0, 'Z'));
}

TEST_F(MainDialog, MapEntriesAndTheirResults) {
    Open();
    struct Row {
        const char* what;
        UINT_PTR from;
        UINT code;
        BOOL handled;
    };
    const Row rows[] = {
        {"keyboard activation of the link", IDC_LINK, static_cast<UINT>(NM_RETURN), FALSE},
        {"click from another control", IDC_BOTTOM, static_cast<UINT>(NM_CLICK), FALSE},
        {"other notification", IDC_LINK, static_cast<UINT>(NM_SETFOCUS), FALSE},
    };
    for (const Row& r : rows) {
        NMHDR hdr{Item(static_cast<int>(r.from)), r.from, r.code};
        LRESULT result = 0;
        EXPECT_EQ(m_dlg->ProcessWindowMessage(m_dlg->m_hWnd, WM_NOTIFY, r.from,
                                              reinterpret_cast<LPARAM>(&hdr), result),
                  r.handled)
            << r.what;
    }
    LRESULT result = 0;
    EXPECT_FALSE(m_dlg->ProcessWindowMessage(m_dlg->m_hWnd, WM_NULL, 0, 0, result));
    EXPECT_FALSE(m_dlg->ProcessWindowMessage(m_dlg->m_hWnd, WM_COMMAND, 2005, 0, result));
    EXPECT_TRUE(m_dlg->ProcessWindowMessage(m_dlg->m_hWnd, WM_HOTKEY, 7, 0, result));
    EXPECT_EQ(result, 1);
    EXPECT_FALSE(m_dlg->GetLockState().m_bLocked);
}

TEST_F(MainDialog, EndOfSessionCleansUpAndDestroyRepeatsHarmlessly) {
    Open();
    Command(IDCANCEL); // registers the stored (empty) combination and hides
    PressIntoHotKeyBox(VK_F11, 0x00570001, {VK_CONTROL});
    Command(IDOK);
    ASSERT_TRUE(HotKeyTaken(MOD_CONTROL, VK_F11));
    EXPECT_EQ(::SendMessageW(m_dlg->m_hWnd, WM_QUERYENDSESSION, 0, 0), 1);
    EXPECT_FALSE(HotKeyTaken(MOD_CONTROL, VK_F11));
    EXPECT_EQ(::SendMessageW(m_dlg->m_hWnd, WM_DESTROY, 0, 0), 1);
    EXPECT_TRUE(m_dlg->DestroyWindow());
    EXPECT_FALSE(m_dlg->IsWindow());
}

TEST_F(MainDialog, IconsAreReleasedWithTheWindow) {
    Open();
    HICON icons[2] = {
        reinterpret_cast<HICON>(::SendMessageW(m_dlg->m_hWnd, WM_GETICON, ICON_BIG, 0)),
        reinterpret_cast<HICON>(::SendMessageW(m_dlg->m_hWnd, WM_GETICON, ICON_SMALL, 0))};
    for (HICON icon : icons) {
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
    }
    m_dlg->DestroyWindow();
    for (HICON icon : icons) {
        ICONINFO info{};
        EXPECT_FALSE(::GetIconInfo(icon, &info));
    }
}

TEST_F(MainDialog, HotKeyTogglesTheClipAndOtherIdsDoNot) {
    Open();
    ::ClipCursor(nullptr);
    RECT full{};
    ::GetClipCursor(&full);
    ::SendMessageW(m_dlg->m_hWnd, WM_HOTKEY, 3, 0);
    EXPECT_FALSE(m_dlg->GetLockState().m_bLocked);
    ::SendMessageW(m_dlg->m_hWnd, WM_HOTKEY, 0, 0);
    EXPECT_TRUE(m_dlg->GetLockState().m_bLocked);
    ::SendMessageW(m_dlg->m_hWnd, WM_HOTKEY, 0, 0);
    EXPECT_FALSE(m_dlg->GetLockState().m_bLocked);
    RECT after{};
    ::GetClipCursor(&after);
    EXPECT_TRUE(::EqualRect(&full, &after));
}

// Stand-ins for the main dialog: one whose template is missing, and one that
// records when it becomes visible and quits with a known code.
class MissingTemplateDialog : public CDialogImpl<MissingTemplateDialog> {
public:
    enum { IDD = 4242 };
    BEGIN_MSG_MAP(MissingTemplateDialog)
    END_MSG_MAP()
};

class QuittingDialog : public CDialogImpl<QuittingDialog> {
public:
    enum { IDD = IDD_ABOUT };
    static inline int s_visibleAtInit = -1;
    static inline int s_visibleWhenRunning = -1;
    static inline int s_showCount = 0;
    BEGIN_MSG_MAP(QuittingDialog)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnShowWindow)
        MESSAGE_HANDLER(WM_APP, OnRunning)
    END_MSG_MAP()
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
        s_visibleAtInit = ::IsWindowVisible(m_hWnd);
        ::PostMessageW(m_hWnd, WM_APP, 0, 0);
        return 1;
    }
    LRESULT OnShowWindow(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
        s_showCount += wParam ? 1 : 0;
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnRunning(UINT, WPARAM, LPARAM, BOOL&) {
        s_visibleWhenRunning = ::IsWindowVisible(m_hWnd);
        ::PostQuitMessage(7);
        return 1;
    }
};

TEST(StartUp, ADialogThatCannotBeCreatedEndsTheRunWithoutALoop) {
    g_appModule.Init(::GetModuleHandleW(nullptr));
    EXPECT_EQ(RunMainDialog<MissingTemplateDialog>(), 1);
    EXPECT_EQ(g_appModule.GetMessageLoop(), nullptr);
}

TEST(StartUp, TheDialogIsShownOnceAfterItsInitialisationAndTheQuitCodeIsReturned) {
    g_appModule.Init(::GetModuleHandleW(nullptr));
    EXPECT_EQ(RunMainDialog<QuittingDialog>(), 7);
    EXPECT_EQ(QuittingDialog::s_visibleAtInit, 0);
    EXPECT_EQ(QuittingDialog::s_visibleWhenRunning, 1);
    EXPECT_EQ(QuittingDialog::s_showCount, 1);
    EXPECT_EQ(g_appModule.GetMessageLoop(), nullptr);
    EXPECT_EQ(::FindWindowW(nullptr, L"About Corvane Tetherly"), nullptr);
}

TEST(CenterDialog, KeepsADialogInsideTheWorkArea) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(
        ::GetMonitorInfoW(::MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY), &info));
    const RECT work = info.rcWork;
    struct Row {
        const char* what;
        int width, height;
        bool ownerVisible;
        POINT expected;
    };
    const LONG workW = work.right - work.left, workH = work.bottom - work.top;
    const Row rows[] = {
        {"larger than the work area",
         static_cast<int>(workW + 400),
         static_cast<int>(workH + 300),
         false,
         {work.left, work.top}},
        {"centred over a visible owner", 100, 60, true, {200 + 100 - 50, 200 + 50 - 30}},
        {"hidden owner counts as none",
         100,
         60,
         false,
         {(work.left + work.right) / 2 - 50, (work.top + work.bottom) / 2 - 30}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        HWND owner =
            ::CreateWindowExW(0, L"Static", L"owner", WS_POPUP | (r.ownerVisible ? WS_VISIBLE : 0),
                              200, 200, 200, 100, nullptr, nullptr, nullptr, nullptr);
        HWND dialog = ::CreateWindowExW(0, L"Static", L"dialog", WS_POPUP, 5, 5, r.width, r.height,
                                        owner, nullptr, nullptr, nullptr);
        ASSERT_NE(dialog, nullptr);
        CenterDialog(dialog, nullptr);
        RECT placed{};
        ::GetWindowRect(dialog, &placed);
        EXPECT_EQ(placed.left, r.expected.x);
        EXPECT_EQ(placed.top, r.expected.y);
        EXPECT_EQ(placed.right - placed.left, r.width);
        ::DestroyWindow(dialog);
        ::DestroyWindow(owner);
    }
}

} // namespace
