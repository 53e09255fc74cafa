// The main dialog with its boxes, against the real registry and hot-key table, and its clean-up;
// the lock on a display scaled to 150% (ctest runs this layer with its prefix at 144 DPI).
#undef _WIN32_WINNT
#undef WINVER
#define _WIN32_WINNT 0x0A00 // the DPI calls
#define WINVER 0x0A00
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include <imm.h>

#include "res/resource.h"
#include "ui/dlg_main_win.h"
#include "ui/lock_platform_win.h"

namespace {

const wchar_t kParentKey[] = L"Software\\Corvane Studio";
const wchar_t kKey[] = L"Software\\Corvane Studio\\qzTetherly";

// Sets the thread's key state for the keys listed (0x80: held, 0x01: toggled only).
void HoldKeys(std::initializer_list<int> keys, BYTE state = 0x80) {
    BYTE states[256] = {};
    for (int vk : keys)
        states[vk] = state;
    ::SetKeyboardState(states);
}

std::wstring WindowText(HWND hWnd) {
    wchar_t buffer[512] = {};
    ::GetWindowTextW(hWnd, buffer, 512);
    return buffer;
}

// The stored DWORD and string values as "name=value;" in save order.
std::wstring Stored() {
    std::wstring out;
    for (const wchar_t* name : {L"HotKey", L"Modifiers", L"TuningLeft", L"TuningTop",
                                L"TuningRight", L"TuningBottom", L"Version"}) {
        DWORD type = 0, data[8] = {}, size = sizeof data - 2;
        if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_DWORD | RRF_RT_REG_SZ, &type,
                           data, &size) != ERROR_SUCCESS)
            continue;
        const std::wstring value =
            type == REG_SZ ? reinterpret_cast<wchar_t*>(data) : std::to_wstring(*data);
        out += std::wstring(name) + L"=" + value + L";";
    }
    return out;
}

// The program calls RegisterHotKey, MessageBoxW and Shell_NotifyIconW through import pointers,
// which this test program defines itself. Every RegisterHotKey on a window is kept as
// (modifiers, key): Wine ignores MOD_NOREPEAT, so the hot-key table cannot show it. Every
// message box is kept, not shown, as b or a (before or after the save) and + or - (its owner
// shown or not), its text as the last one. The first g_trayRefusals adds of a tray icon are
// refused; every tray call is kept as its letter (Add, Modify, Delete), small when it failed.
using Registrations = std::vector<std::pair<UINT, UINT>>;
Registrations g_registrations;
std::string g_boxes, g_trayCalls;
std::wstring g_lastText;
int g_trayRefusals = 0;
BOOL WINAPI RecordRegisterHotKey(HWND hWnd, int id, UINT modifiers, UINT vk) {
    if (hWnd)
        g_registrations.emplace_back(modifiers, vk);
    static const auto real = reinterpret_cast<decltype(&::RegisterHotKey)>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32"), "RegisterHotKey")));
    return real(hWnd, id, modifiers, vk);
}
int WINAPI RecordMessageBox(HWND owner, LPCWSTR text, LPCWSTR, UINT) {
    g_boxes += Stored().find(L"Version") == std::wstring::npos ? 'b' : 'a';
    g_boxes += ::IsWindowVisible(owner) ? '+' : '-';
    g_lastText = text;
    return IDOK;
}
BOOL WINAPI RecordShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    static const auto real =
        reinterpret_cast<decltype(&::Shell_NotifyIconW)>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"shell32"), "Shell_NotifyIconW")));
    const BOOL done =
        message == NIM_ADD && g_trayRefusals > 0 ? (--g_trayRefusals, FALSE) : real(message, data);
    g_trayCalls += "AMD"[message] + (done ? 0 : 'a' - 'A');
    return done;
}

// Each tick: how many About boxes are shown. The first tick asks for another from inside the
// open box's loop; later ticks close one box each.
std::string g_aboutCounts;
HWND g_mainDialog = nullptr;
void CALLBACK AboutTick(HWND, UINT, UINT_PTR, DWORD) {
    HWND shown = nullptr;
    int count = 0;
    for (HWND w = nullptr; (w = ::FindWindowExW(nullptr, w, nullptr, L"About Corvane Tetherly"));)
        count += ::IsWindowVisible(w) ? (shown = w, 1) : 0;
    if (count || !g_aboutCounts.empty()) {
        g_aboutCounts += std::to_string(count);
        const bool first = g_aboutCounts.size() == 1;
        ::PostMessageW(first ? g_mainDialog : shown, WM_COMMAND, first ? ID_TRAY_ABOUT : IDOK, 0);
    }
}

// A message filter entered before the dialog's counts the keys the loop asks it about.
struct OlderFilter : CMessageFilter {
    int keys = 0;
    BOOL PreTranslateMessage(MSG* msg) override { return keys += msg->message == WM_KEYDOWN, 0; }
};

// The dialog enters the thread's message loop, as in the program.
class MainDialog : public ::testing::Test {
protected:
    void SetUp() override {
        g_appModule.AddMessageLoop(&m_loop);
        m_loop.AddMessageFilter(&m_older);
    }
    void TearDown() override {
        if (m_dlg)
            m_dlg->DestroyWindow();
        g_appModule.RemoveMessageLoop();
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kParentKey);
    }
    void Open() {
        if (m_dlg)
            m_dlg->DestroyWindow();
        g_appModule.Init(::GetModuleHandleW(nullptr));
        m_dlg = std::make_unique<CDlgMain>();
        ASSERT_NE(m_dlg->Create(nullptr, 0), nullptr);
        m_dlg->ShowWindow(SW_SHOW);
    }
    HWND Item(int id) const { return ::GetDlgItem(*m_dlg, id); }
    void Type(UINT mods, UINT vk) {
        HoldKeys({mods & MOD_CONTROL ? VK_CONTROL : 0, mods & MOD_SHIFT ? VK_SHIFT : 0});
        ::SendMessageW(Item(IDC_HOTKEY), WM_KEYDOWN, vk, 1);
        HoldKeys({});
    }
    // Posts the key to the window with the focus and runs the loop until the queue is empty.
    void Press(UINT vk) {
        ::PostMessageW(::GetFocus(), WM_KEYDOWN, vk, 1);
        ::PostQuitMessage(0);
        m_loop.Run();
    }
    // Sends the command; returns the message boxes it showed.
    std::string Command(WORD id, UINT msg = WM_COMMAND) {
        g_boxes.clear();
        ::SendMessageW(*m_dlg, msg, id, 0);
        return g_boxes;
    }

    CMessageLoop m_loop;
    OlderFilter m_older;
    std::unique_ptr<CDlgMain> m_dlg;
};

// The boxes as the dialog has them: the capture box takes each modifier from its held bit (not
// the toggled one), has no input method and swallows the rest; the integer box hands the edit
// control what it accepts. Every message comes back 1.
TEST_F(MainDialog, BoxesReadTheHeldKeysAndSwallowWhatTheyDoNotTake) {
    Open();
    const HWND key = Item(IDC_HOTKEY), left = Item(IDC_LEFT);
    EXPECT_EQ(::ImmGetContext(key), nullptr) << "keys would arrive as VK_PROCESSKEY";
    NMHDR enter{Item(IDC_LINK), IDC_LINK, static_cast<UINT>(NM_RETURN)};
    EXPECT_EQ(::SendMessageW(*m_dlg, WM_NOTIFY, IDC_LINK, reinterpret_cast<LPARAM>(&enter)), 0)
        << "only a click on the link opens the site";
    ::SetWindowTextW(left, L"");
    // box, message, wParam and key data, the one key set and its state, the box's text after
    const std::tuple<HWND, UINT, WPARAM, LPARAM, int, BYTE, const wchar_t*> rows[] = {
        {key, WM_KEYDOWN, 'A', 0x001E0001, VK_CONTROL, 0x80, L"Ctrl+A"},
        {key, WM_KEYDOWN, 'A', 0x001E0001, VK_SHIFT, 0x80, L"Shift+A"},
        {key, WM_SYSKEYDOWN, 'A', 0x201E0001, VK_MENU, 0x80, L"Alt+A"},
        {key, WM_KEYDOWN, 'A', 0x001E0001, VK_LWIN, 0x80, L"Win+A"},
        {key, WM_KEYDOWN, 'A', 0x001E0001, VK_RWIN, 0x80, L"Win+A"},
        {key, WM_KEYDOWN, 'A', 0x001E0001, VK_CONTROL, 0x01, L"A"},
        {key, WM_KEYDOWN, 'A', 0x011D0001, VK_CONTROL, 0x80, L"RCtrl"}, // key data reaches the rule
        {key, WM_CHAR, 'x', 1, 0, 0, L"RCtrl"},
        {key, WM_CONTEXTMENU, 0, 0, 0, 0, L"RCtrl"},
        {key, WM_KEYUP, 'x', 1, 0, 0, L"RCtrl"},
        {key, WM_SYSKEYUP, 'x', 1, 0, 0, L"RCtrl"},
        {left, WM_CHAR, '1', 1, VK_SHIFT, 0, L"1"},
        {left, WM_CHAR, '2', 1, VK_SHIFT, 0x80, L"1"},
        {left, WM_CHAR, '3', 1, VK_SHIFT, 0x01, L"13"},
    };
    for (const auto& [box, msg, wParam, keyData, vk, state, text] : rows) {
        HoldKeys({vk}, state);
        EXPECT_EQ(::SendMessageW(box, msg, wParam, keyData), 1)
            << "message " << msg << ", " << text;
        EXPECT_EQ(WindowText(box), text)
            << "message " << msg << ", key " << vk << " " << int{state};
    }
}

TEST_F(MainDialog, OkSavesAndRegistersCancelRestoresAndTheTrayRestores) {
    const wchar_t* tuningTexts[] = {L"1", L"-20", L"1234567890", L"4"};
    const std::wstring tunings = L"TuningLeft=1;TuningTop=4294967276;TuningRight=123456789;"
                                 L"TuningBottom=4;Version=1.2;";
    // Key typed over the stored Alt+F6 (none: nothing stored), command; then the warnings, what
    // the command stored, registered (modifiers, key) and left in the box. Another window holds
    // Ctrl+F7.
    const std::tuple<UINT, UINT, WORD, const char*, std::wstring, UINT, UINT, const wchar_t*>
        rows[] = {
            {0, 0, IDOK, "b+", L"HotKey=0;Modifiers=0;" + tunings, 0, 0, L""},
            {MOD_CONTROL, VK_F7, IDOK, "a+", L"HotKey=118;Modifiers=2;" + tunings, MOD_CONTROL,
             VK_F7, L"Ctrl+F7"},
            {MOD_CONTROL, 'Z', IDCANCEL, "", L"", MOD_ALT, VK_F6, L"Alt+F6"},
        };
    ASSERT_TRUE(::RegisterHotKey(nullptr, 1, MOD_CONTROL, VK_F7));
    for (const auto& [mods, vk, command, boxes, stored, regMods, regVk, keyText] : rows) {
        SCOPED_TRACE(testing::Message() << "key typed " << vk << ", command " << command);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        const DWORD f6 = vk ? VK_F6 : 0, alt = vk ? MOD_ALT : 0;
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"HotKey", REG_DWORD, &f6, 4);
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, L"Modifiers", REG_DWORD, &alt, 4);
        Open();
        Type(mods, vk);
        for (int i = 0; i < 4; ++i) // left, top, right (the first nine count), bottom
            ::SetWindowTextW(Item(IDC_LEFT + i), tuningTexts[i]);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
        g_registrations.clear();
        EXPECT_EQ(Command(command), boxes);
        EXPECT_EQ(g_registrations, (Registrations{{regMods | MOD_NOREPEAT, regVk}}));
        EXPECT_EQ(Stored(), stored);
        EXPECT_FALSE(::IsWindowVisible(*m_dlg));
        EXPECT_EQ(WindowText(Item(IDC_HOTKEY)), keyText);
        EXPECT_EQ(WindowText(Item(IDC_TOP)), command == IDOK ? L"-20" : L"0");
    }
    ::UnregisterHotKey(nullptr, 1);

    // Keys through the loop: Tab moves to the next box, Esc is Cancel and Enter is OK.
    Open();
    ::SetFocus(Item(IDC_LEFT));
    Press(VK_TAB);
    EXPECT_EQ(::GetFocus(), Item(IDC_TOP));
    Press(VK_ESCAPE);
    EXPECT_FALSE(::IsWindowVisible(*m_dlg)) << "Esc";
    ::SendMessageW(*m_dlg, WM_COMMAND, MAKEWPARAM(ID_TRAY_OPTION, 1), 0); // any code shows it
    ::SetFocus(Item(IDC_TOP));
    Press(VK_RETURN);
    EXPECT_NE(Stored(), L"") << "Enter";
    EXPECT_EQ(m_older.keys, 0) << "the newest filter took the keys; no other was asked";
    // Mouse moves, paints and the caret's blink start no new idle period; other messages do.
    for (UINT message : {WM_MOUSEMOVE, WM_NCMOUSEMOVE, WM_PAINT, 0x0118, WM_TIMER, WM_KEYDOWN}) {
        MSG msg{};
        msg.message = message;
        EXPECT_EQ(CMessageLoop::IsIdleMessage(&msg), message == WM_TIMER || message == WM_KEYDOWN)
            << "message " << message;
    }

    // A store that cannot be written: the user is told, and the settings apply for the run.
    HKEY parent = nullptr;
    ::RegDeleteTreeW(HKEY_CURRENT_USER, kParentKey);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, kParentKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE,
                      nullptr, &parent, nullptr);
    ::RegCloseKey(parent);
    Open();
    Type(MOD_SHIFT, VK_F9);
    g_registrations.clear();
    EXPECT_EQ(Command(IDOK), "b+");
    EXPECT_EQ(g_lastText, L"The settings could not be saved. They apply until the program ends.");
    EXPECT_EQ(g_registrations, (Registrations{{MOD_SHIFT | MOD_NOREPEAT, VK_F9}}));

    // Hidden, the dialog ignores OK, Cancel and WM_CLOSE: Enter and Esc reach it too.
    g_registrations.clear();
    EXPECT_EQ(Command(IDOK) + Command(IDCANCEL) + Command(0, WM_CLOSE), "");
    EXPECT_EQ(g_registrations.size(), 0u);
    // Minimized, it comes back from the tray restored, its hot key free to be typed.
    m_dlg->ShowWindow(SW_MINIMIZE);
    ::SendMessageW(*m_dlg, kTrayCallbackMessage, 0, WM_LBUTTONUP);
    EXPECT_FALSE(::IsIconic(*m_dlg));
    EXPECT_TRUE(::RegisterHotKey(nullptr, 2, MOD_ALT, VK_F6)) << "Alt+F6 still held";
}

// A refused tray icon is tried again at each tick until it shows, and again with a restarted
// taskbar; it is the small image. One About box at a time. A cancelled session end changes
// nothing; the real one cleans up at once, and no tick adds the icon again.
TEST_F(MainDialog, TrayIconAboutBoxAndSessionEnd) {
    g_trayRefusals = 2;
    g_trayCalls.clear();
    Open();
    const auto tick = [&] { ::SendMessageW(*m_dlg, WM_TIMER, kFollowTimerId, 0); };
    tick(), tick(), tick();
    NOTIFYICONDATAW nid = m_dlg->GetTrayRecord(); // the icon is gone with the taskbar
    ::Shell_NotifyIconW(NIM_DELETE, &nid);
    g_trayRefusals = 1;
    ::SendMessageW(*m_dlg, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    tick(), tick();
    EXPECT_EQ(g_trayCalls, "amamADamA") << "start, 3 ticks, the taskbar's restart, 2 ticks";
    ICONINFO icon{};
    BITMAP image{};
    ASSERT_TRUE(::GetIconInfo(m_dlg->GetTrayRecord().hIcon, &icon));
    ::GetObjectW(icon.hbmColor, sizeof image, &image);
    EXPECT_EQ(image.bmWidth, ::GetSystemMetrics(SM_CXSMICON)) << "the tray's small image";
    ::DeleteObject(icon.hbmColor);
    ::DeleteObject(icon.hbmMask);

    g_mainDialog = *m_dlg;
    for (int round = 0; round < 2; ++round) { // the second: the guard was reset
        g_aboutCounts.clear();
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, &AboutTick);
        ::SendMessageW(*m_dlg, WM_COMMAND, ID_APP_ABOUT, 0); // returns once the box has closed
        ::KillTimer(nullptr, timer);
        EXPECT_EQ(g_aboutCounts.substr(0, 2), "11") << "round " << round;
    }

    RECT screen{}, clip{};
    ::GetClipCursor(&screen);
    g_trayCalls.clear();
    const RECT locked{100, 120, 400, 320};
    Type(MOD_CONTROL, VK_F11);
    Command(IDOK);
    ::SendMessageW(*m_dlg, WM_HOTKEY, 0, 0); // locked, whatever the foreground
    ::ClipCursor(&locked);                   // as the lock confines the cursor
    EXPECT_EQ(::SendMessageW(*m_dlg, WM_QUERYENDSESSION, 0, 0), 1);
    ::SendMessageW(*m_dlg, WM_ENDSESSION, FALSE, 0);
    ::GetClipCursor(&clip);
    EXPECT_TRUE(::EqualRect(&clip, &locked)) << clip.left << "," << clip.top;
    // The process may end without WM_DESTROY.
    ::SendMessageW(*m_dlg, WM_ENDSESSION, TRUE, 0);
    ::GetClipCursor(&clip);
    EXPECT_TRUE(::EqualRect(&clip, &screen)) << clip.left << "," << clip.top;
    EXPECT_FALSE(::KillTimer(*m_dlg, kFollowTimerId)) << "the follow timer still runs";
    EXPECT_TRUE(::RegisterHotKey(nullptr, 3, MOD_CONTROL, VK_F11)) << "the hot key stayed";
    tick();
    EXPECT_EQ(g_trayCalls, "D") << "the icon kept, removed at the real end, not added again";
}

struct CountingPlatform : Win32LockPlatform {
    int clips = 0;
    void ClipCursor(const Rect* rect) override {
        ++clips;
        Win32LockPlatform::ClipCursor(rect);
    }
};

// A DPI-unaware program meets the lock as follows (Wine starts every process per-monitor aware,
// so the test thread turns itself unaware). It locks onto a window it made, at odd coordinates. The
// clip is its client area to the pixel, widened by the tuning scaled to the display (10 is 15
// pixels, though the window's own DPI is 96); the ticks leave it while in force and set it again
// once freed; the thread is unaware again afterwards.
TEST(LockDpi, ClipIsTheWindowsPhysicalClientAreaWithTuningsScaledToTheDisplay) {
    ASSERT_EQ(::GetDpiForSystem(), 144u) << "the prefix's DPI did not take effect";
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_UNAWARE);
    HWND target = ::CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE, 67, 101, 201, 133,
                                    nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(::GetForegroundWindow(), target);
    ASSERT_EQ(::GetDpiForWindow(target), 96u);
    const Settings tunings{0, 0, 10, 10, 10, 10};
    LockState state;
    {
        CountingPlatform lock, inForce, freed;
        LockOnHotKey(state, 0, tunings, lock);
        LockOnTimer(state, 0, tunings, inForce);
        ::ClipCursor(nullptr); // as another program frees the cursor
        LockOnTimer(state, 0, tunings, freed);
        EXPECT_EQ(std::tie(lock.clips, inForce.clips, freed.clips), std::make_tuple(1, 0, 1))
            << "clips at the lock, a tick while in force, a tick after freeing";
    }
    EXPECT_EQ(::GetAwarenessFromDpiAwarenessContext(::GetThreadDpiAwarenessContext()),
              DPI_AWARENESS_UNAWARE);
    ::SetThreadDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    RECT client{}, clip{};
    ::GetClientRect(target, &client);
    ::MapWindowPoints(target, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::GetClipCursor(&clip);
    ::ClipCursor(nullptr);
    ::ShowWindow(target, SW_HIDE); // as our own dialog while the tray menu is open
    EXPECT_FALSE(CountingPlatform().IsWindowVisible(target));
    ::DestroyWindow(target);
    EXPECT_EQ(
        std::tie(clip.left, clip.top, clip.right, clip.bottom),
        std::make_tuple(client.left - 15, client.top - 15, client.right + 15, client.bottom + 15))
        << "client area " << client.left << "," << client.top << "," << client.right << ","
        << client.bottom;
}

} // namespace

// The import pointers the recorders above stand behind.
#ifdef _WIN64
#define IMPORT_POINTER(name, argBytes) __asm__("__imp_" #name)
#else
#define IMPORT_POINTER(name, argBytes) __asm__("__imp__" #name "@" #argBytes)
#endif
extern "C" {
decltype(&::RegisterHotKey) g_registerHotKey IMPORT_POINTER(RegisterHotKey,
                                                            16) = &RecordRegisterHotKey;
decltype(&::MessageBoxW) g_messageBox IMPORT_POINTER(MessageBoxW, 16) = &RecordMessageBox;
decltype(&::Shell_NotifyIconW) g_shellNotifyIcon IMPORT_POINTER(Shell_NotifyIconW,
                                                                8) = &RecordShellNotifyIcon;
}
