#include <windows.h>

#include <gtest/gtest.h>

#include <imm.h>

#include <cstring>
#include <memory>
#include <vector>

#include "app/run_loop.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "ui/dialog_helpers_win.h"
#include "ui/dlg_main_win.h"
#include "win32_test_support.h"

namespace {

const wchar_t kKey[] = L"Software\\Corvane Studio\\qzTetherly";

void Plant(std::initializer_list<std::pair<const wchar_t*, DWORD>> values) {
    for (const auto& [name, value] : values)
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, REG_DWORD, &value, 4);
}

// The stored DWORD and string values as "name=value;" in save order.
std::string Stored() {
    std::wstring out;
    for (const wchar_t* name : {L"HotKey", L"Modifiers", L"TuningLeft", L"TuningTop",
                                L"TuningRight", L"TuningBottom", L"Version"}) {
        DWORD type = 0, data[8] = {}, size = sizeof data - 2;
        if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD | RRF_RT_REG_SZ, &type,
                           data, &size) == 0)
            out += name +
                   (L"=" + (type == REG_SZ ? reinterpret_cast<wchar_t*>(data)
                                           : std::to_wstring(data[0]))) +
                   L";";
    }
    return Narrow(out);
}

bool HotKeyTaken(UINT modifiers, UINT vk) {
    const bool taken = !::RegisterHotKey(nullptr, 0xB000, modifiers, vk);
    ::UnregisterHotKey(nullptr, 0xB000);
    return taken;
}

// Every RegisterHotKey call on a window, as (modifiers, key), through the import slot.
std::vector<std::pair<UINT, UINT>> g_registrations;
decltype(&::RegisterHotKey) g_realRegisterHotKey = nullptr;
BOOL WINAPI RecordRegisterHotKey(HWND hWnd, int id, UINT modifiers, UINT vk) {
    if (hWnd)
        g_registrations.emplace_back(modifiers, vk);
    return g_realRegisterHotKey(hWnd, id, modifiers, vk);
}
void HookRegisterHotKey() {
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const DWORD imports =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (auto* dll = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports); dll->Name; ++dll) {
        auto* name = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->OriginalFirstThunk);
        auto* slot = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
        for (; name->u1.AddressOfData; ++name, ++slot) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                std::strcmp(
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name,
                    "RegisterHotKey") != 0)
                continue;
            DWORD protect = 0;
            ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protect);
            g_realRegisterHotKey = reinterpret_cast<decltype(&::RegisterHotKey)>(slot->u1.Function);
            slot->u1.Function = reinterpret_cast<ULONG_PTR>(&RecordRegisterHotKey);
            ::VirtualProtect(slot, sizeof *slot, protect, &protect);
            return;
        }
    }
}

// Per message box closed: b before the save, a after, x for a wrong text or owner.
std::string g_boxes;
BOOL CALLBACK CloseBox(HWND w, LPARAM) {
    if (::IsWindowVisible(w) && ::GetDlgItem(w, IDOK) && !::GetDlgItem(w, IDC_HOTKEY)) {
        const bool ours = WindowText(::GetDlgItem(w, 0xFFFF)) == LoadResourceString(10002) &&
                          ::GetDlgItem(::GetWindow(w, GW_OWNER), IDC_HOTKEY);
        g_boxes += !ours ? 'x' : Stored().find("Version") == std::string::npos ? 'b' : 'a';
        ::PostMessageW(w, WM_COMMAND, IDOK, 0);
    }
    return TRUE;
}
// A thread timer: it also fires inside a message box's modal loop.
void CALLBACK CloseBoxes(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), &CloseBox, 0);
}

class MainDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        if (!g_realRegisterHotKey)
            HookRegisterHotKey();
        g_appModule.Init(::GetModuleHandleW(nullptr));
        g_appModule.AddMessageLoop(&s_loop);
    }
    static void TearDownTestSuite() { g_appModule.RemoveMessageLoop(); }
    void SetUp() override { ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }
    void TearDown() override {
        if (m_dlg && m_dlg->IsWindow())
            m_dlg->DestroyWindow();
        SetUp();
        PumpMessages();
    }
    void Open() {
        m_dlg = std::make_unique<CDlgMain>();
        ASSERT_NE(m_dlg->Create(nullptr, 0), nullptr);
        m_dlg->ShowWindow(SW_SHOW);
        PumpMessages();
    }
    HWND Item(int id) const { return ::GetDlgItem(m_dlg->m_hWnd, id); }
    void Type(UINT mods, UINT vk) {
        HoldKeys({mods & MOD_CONTROL ? VK_CONTROL : 0, mods & MOD_SHIFT ? VK_SHIFT : 0,
                  mods & MOD_ALT ? VK_MENU : 0});
        ::SendMessageW(Item(IDC_HOTKEY), WM_KEYDOWN, vk, 1);
        HoldKeys({});
    }
    std::string Command(WORD id, UINT msg = WM_COMMAND) {
        g_boxes.clear();
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &CloseBoxes);
        ::SendMessageW(m_dlg->m_hWnd, msg, id, 0);
        PumpMessages();
        ::KillTimer(nullptr, timer);
        return g_boxes;
    }

    static inline CMessageLoop s_loop;
    std::unique_ptr<CDlgMain> m_dlg;
};

TEST_F(MainDialog, OkSavesAndCancelRestores) {
    struct Row {
        bool altF6Stored;        // planted before opening
        UINT typedMods, typedVk; // Ctrl+F7 is held by another window throughout
        WORD command;
        const char* boxes; // as g_boxes records them
        std::string stored;
        const wchar_t* keyText;
    };
    const std::string tunings = "TuningLeft=1;TuningTop=4294967276;TuningRight=3;TuningBottom=4;"
                                "Version=1.2;";
    const Row rows[] = {
        {true, MOD_SHIFT, VK_F8, IDOK, "", "HotKey=119;Modifiers=4;" + tunings, L"Shift+F8"},
        {false, 0, 0, IDOK, "b", "HotKey=0;Modifiers=0;" + tunings, L""},
        {true, MOD_CONTROL, VK_F7, IDOK, "a", "HotKey=118;Modifiers=2;" + tunings, L"Ctrl+F7"},
        {true, MOD_CONTROL, 'Z', IDCANCEL, "", "HotKey=117;Modifiers=1;", L"Alt+F6"},
    };
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL, VK_F7));
    for (const Row& r : rows) {
        SCOPED_TRACE(r.stored);
        if (r.altF6Stored)
            Plant({{L"HotKey", VK_F6}, {L"Modifiers", MOD_ALT}});
        Open();
        if (r.typedVk)
            Type(r.typedMods, r.typedVk);
        for (int id = IDC_LEFT; id <= IDC_BOTTOM; ++id)
            ::SetWindowTextW(Item(id), id == IDC_TOP ? L"-20" : std::to_wstring(id - 1001).c_str());
        g_registrations.clear();
        EXPECT_EQ(Command(r.command), r.boxes);
        ASSERT_EQ(g_registrations.size(), 1u);
        EXPECT_EQ(g_registrations[0].first,
                  (r.command == IDOK ? r.typedMods : MOD_ALT) | MOD_NOREPEAT);
        EXPECT_EQ(Stored(), r.stored);
        EXPECT_FALSE(::IsWindowVisible(m_dlg->m_hWnd));
        EXPECT_EQ(WindowText(Item(IDC_HOTKEY)), r.keyText);
        EXPECT_EQ(WindowText(Item(IDC_TOP)), r.command == IDOK ? L"-20" : L"0");
        EXPECT_TRUE(!r.typedVk || HotKeyTaken(r.typedMods, r.typedVk) == (r.command == IDOK));
        EXPECT_EQ(HotKeyTaken(MOD_ALT, VK_F6), r.command == IDCANCEL); // Cancel: the stored key
        // Hidden, the dialog ignores OK, Cancel and WM_CLOSE: no warning, no save, no registration.
        SetUp();
        const std::string hidden = Command(IDOK) + Command(IDCANCEL) + Command(0, WM_CLOSE);
        EXPECT_EQ(hidden + Stored(), "");
        EXPECT_EQ(g_registrations.size(), 1u);
        TearDown();
    }
    ::UnregisterHotKey(nullptr, 1);
}

TEST_F(MainDialog, StartsFromTheStoredSettings) {
    // Only the key's low byte counts; 0x4000 is a modifier bit the box does not show.
    Plant({{L"HotKey", 0x141}, {L"Modifiers", 0x4009}, {L"TuningLeft", 0xFFFFFFFBu}});
    Open();
    EXPECT_EQ(WindowText(Item(IDC_HOTKEY)), L"Alt+Win+A");
    EXPECT_EQ(WindowText(Item(IDC_LEFT)), L"-5");
    EXPECT_FALSE(HotKeyTaken(MOD_ALT | MOD_WIN, 'A')); // not before the first OK or Cancel

    const NOTIFYICONDATAW& nid = m_dlg->GetTrayRecord();
    EXPECT_EQ(nid.cbSize, sizeof(void*) == 8 ? 968u : 952u);
    EXPECT_EQ(nid.hWnd, m_dlg->m_hWnd);
    EXPECT_EQ(nid.uFlags, 7u);
    EXPECT_EQ(nid.uCallbackMessage, 1025u);
    EXPECT_STREQ(nid.szTip, L"Corvane Tetherly 1.0");
    ICONINFO icon{};
    ASSERT_TRUE(::GetIconInfo(nid.hIcon, &icon));
    BITMAP image{};
    ::GetObjectW(icon.hbmColor, sizeof image, &image);
    EXPECT_EQ(image.bmWidth, ::GetSystemMetrics(SM_CXSMICON)); // the small image, unscaled
    ::DeleteObject(icon.hbmColor);
    ::DeleteObject(icon.hbmMask);

    // The capture box has no input method, so keys arrive as themselves; the others keep theirs.
    EXPECT_EQ(::ImmGetContext(Item(IDC_HOTKEY)), nullptr);
    HIMC other = ::ImmGetContext(Item(IDC_LEFT));
    EXPECT_NE(other, nullptr);
    ::ImmReleaseContext(Item(IDC_LEFT), other);

    NMHDR enter{Item(IDC_LINK), IDC_LINK, static_cast<UINT>(NM_RETURN)};
    LRESULT result = 0;
    EXPECT_FALSE(m_dlg->ProcessWindowMessage(m_dlg->m_hWnd, WM_NOTIFY, IDC_LINK,
                                             reinterpret_cast<LPARAM>(&enter), result));

    // A minimized dialog comes back from the tray's left click and from Option.
    for (UINT msg : {kTrayCallbackMessage, static_cast<UINT>(WM_COMMAND)}) {
        m_dlg->ShowWindow(SW_MINIMIZE);
        PumpMessages();
        ASSERT_TRUE(::IsIconic(m_dlg->m_hWnd));
        ::SendMessageW(m_dlg->m_hWnd, msg, msg == WM_COMMAND ? ID_TRAY_OPTION : 0, WM_LBUTTONUP);
        EXPECT_TRUE(PumpUntil([&] { return !::IsIconic(m_dlg->m_hWnd); })) << "message " << msg;
    }
}

TEST_F(MainDialog, SessionEndAndQuitCleanUpAndFreeTheLockedCursor) {
    RECT screen{}, clip{};
    ::GetClipCursor(&screen);
    const RECT locked{100, 120, 400, 320};
    for (bool sessionEnds : {true, false}) {
        SCOPED_TRACE(sessionEnds ? "session end" : "quit");
        Open();
        Type(MOD_CONTROL, VK_F11);
        Command(IDOK);
        ::SendMessageW(m_dlg->m_hWnd, WM_HOTKEY, 0, 0); // locked, whatever the foreground
        ::ClipCursor(&locked);                          // as the lock confines the cursor
        // A session end that is cancelled leaves everything running.
        EXPECT_EQ(::SendMessageW(m_dlg->m_hWnd, WM_QUERYENDSESSION, 0, 0), 1);
        ::SendMessageW(m_dlg->m_hWnd, WM_ENDSESSION, FALSE, 0);
        ::GetClipCursor(&clip);
        EXPECT_TRUE(::EqualRect(&clip, &locked)) << clip.left << "," << clip.top;
        EXPECT_TRUE(HotKeyTaken(MOD_CONTROL, VK_F11));
        const HICON trayIcon = m_dlg->GetTrayRecord().hIcon;

        if (sessionEnds)
            ::SendMessageW(m_dlg->m_hWnd, WM_ENDSESSION, TRUE, 0);
        else
            ::SendMessageW(m_dlg->m_hWnd, WM_COMMAND, ID_TRAY_QUIT, 0);
        EXPECT_EQ(::KillTimer(m_dlg->m_hWnd, 0), !sessionEnds); // stopped by the session end
        if (!sessionEnds) {
            MSG quit{};
            EXPECT_TRUE(::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
        }
        const HICON icons[] = {
            reinterpret_cast<HICON>(::SendMessageW(m_dlg->m_hWnd, WM_GETICON, ICON_BIG, 0)),
            reinterpret_cast<HICON>(::SendMessageW(m_dlg->m_hWnd, WM_GETICON, ICON_SMALL, 0))};
        EXPECT_TRUE(m_dlg->DestroyWindow()); // WM_DESTROY: the clean-up, or its harmless repeat
        EXPECT_FALSE(HotKeyTaken(MOD_CONTROL, VK_F11));
        ::GetClipCursor(&clip);
        EXPECT_TRUE(::EqualRect(&clip, &screen)) << clip.left << "," << clip.top;
        for (HICON icon : {icons[0], icons[1], trayIcon})
            EXPECT_TRUE(icon && !::DestroyIcon(icon)); // already released
    }
}

// Logs each step with whether it is visible; quits with 7 once its loop runs.
template <int Id> class StandIn : public CDialogImpl<StandIn<Id>> {
public:
    enum { IDD = Id };
    static inline std::string s_log;
    BEGIN_MSG_MAP(StandIn)
        MESSAGE_HANDLER(WM_INITDIALOG, OnStep)
        MESSAGE_HANDLER(WM_SHOWWINDOW, OnStep)
        MESSAGE_HANDLER(WM_APP, OnStep)
    END_MSG_MAP()
    LRESULT OnStep(UINT msg, WPARAM wParam, LPARAM, BOOL& bHandled) {
        s_log += msg == WM_INITDIALOG ? "init" : msg == WM_APP ? "run" : wParam ? "show" : "hide";
        s_log += ::IsWindowVisible(this->m_hWnd) ? "+ " : "- ";
        if (msg == WM_INITDIALOG)
            ::PostMessageW(this->m_hWnd, WM_APP, 0, 0);
        if (msg == WM_APP)
            ::PostQuitMessage(7);
        bHandled = msg != WM_SHOWWINDOW;
        return 1;
    }
};

TEST(StartUp, RunMainDialogShowsOnceAfterInitAndEndsWithoutALoop) {
    g_appModule.Init(::GetModuleHandleW(nullptr));
    EXPECT_EQ(RunMainDialog<StandIn<4242>>(), 1);
    EXPECT_EQ(g_appModule.GetMessageLoop(), nullptr);
    EXPECT_EQ(RunMainDialog<StandIn<IDD_ABOUT>>(), 7);
    EXPECT_EQ(StandIn<IDD_ABOUT>::s_log, "init- show- run+ ");
    EXPECT_EQ(g_appModule.GetMessageLoop(), nullptr);
}

TEST(CenterDialog, KeepsADialogInsideTheWorkArea) {
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    // width, height, owner at (200, 200, 200 x 100) visible, expected left and top
    const LONG rows[][5] = {
        {work.right - work.left + 400, work.bottom - work.top + 300, 0, work.left, work.top},
        {100, 60, 1, 250, 220},
        {100, 60, 0, (work.left + work.right) / 2 - 50, (work.top + work.bottom) / 2 - 30}};
    HWND owner = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 200, 200, 200, 100, nullptr,
                                   nullptr, nullptr, nullptr);
    HWND dialog = ::CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 10, 10, owner, nullptr,
                                    nullptr, nullptr);
    for (const auto& r : rows) {
        ::ShowWindow(owner, r[2] ? SW_SHOWNA : SW_HIDE);
        ::SetWindowPos(dialog, nullptr, 5, 5, r[0], r[1], SWP_NOZORDER | SWP_NOACTIVATE);
        CenterDialog(dialog, nullptr);
        RECT placed{};
        ::GetWindowRect(dialog, &placed);
        EXPECT_EQ(placed.left, r[3]) << "row " << &r - rows;
        EXPECT_EQ(placed.top, r[4]) << "row " << &r - rows;
        EXPECT_EQ(placed.right - placed.left, r[0]);
    }
    ::DestroyWindow(owner);
}

} // namespace
