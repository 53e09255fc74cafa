#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "controls/integer_box.h"
#include "controls/key_detect_box.h"
#include "win32_test_support.h"

namespace {

// A top-level window with one plain edit control, as in the dialog template.
class EditHost : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = ::CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                     300, 200, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(m_parent, nullptr);
        m_edit = ::CreateWindowExW(0, L"Edit", L"", 0x50810080, 10, 10, 200, 24, m_parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(1001)), nullptr,
                                   nullptr);
        ASSERT_NE(m_edit, nullptr);
    }
    void TearDown() override {
        HoldKeys({});
        ::DestroyWindow(m_parent);
        PumpMessages();
    }
    static void PutOnClipboard(HWND owner, const std::wstring& text) {
        ASSERT_TRUE(::OpenClipboard(owner));
        ::EmptyClipboard();
        HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
        std::memcpy(::GlobalLock(mem), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
        ::GlobalUnlock(mem);
        ::SetClipboardData(CF_UNICODETEXT, mem);
        ::CloseClipboard();
    }
    HWND m_parent = nullptr;
    HWND m_edit = nullptr;
};

using KeyDetectBoxTest = EditHost;

TEST_F(KeyDetectBoxTest, CapturesKeyDownsWithTheirModifiers) {
    CKeyDetectBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    struct Row {
        UINT msg;
        WPARAM vk;
        LPARAM keyData;
        std::initializer_list<int> held;
        const wchar_t* text;
        int key;
    };
    const Row rows[] = {
        {WM_KEYDOWN, VK_CONTROL, 0x001D0001, {VK_CONTROL, VK_LCONTROL}, L"LCtrl", 162},
        {WM_KEYDOWN, VK_CONTROL, 0x011D0001, {VK_CONTROL, VK_RCONTROL}, L"RCtrl", 163},
        {WM_KEYDOWN, VK_SHIFT, 0x002A0001, {VK_SHIFT}, L"LShift", 160},
        {WM_KEYDOWN, VK_SHIFT, 0x00360001, {VK_SHIFT}, L"RShift", 161},
        {WM_SYSKEYDOWN, VK_MENU, 0x20380001, {VK_MENU}, L"LAlt", 164},
        {WM_KEYDOWN, VK_MENU, 0x21380001, {VK_MENU, VK_CONTROL}, L"Ctrl+RAlt", 165},
        {WM_KEYDOWN, VK_LWIN, 0x015B0001, {VK_LWIN}, L"LWin", 91},
        {WM_KEYDOWN, VK_RWIN, 0x015C0001, {VK_RWIN, VK_SHIFT}, L"Shift+RWin", 92},
        {WM_KEYDOWN, 'A', 0x001E0001, {VK_CONTROL, VK_MENU}, L"Ctrl+Alt+A", 'A'},
        {WM_KEYDOWN, 'A', 0x001E0001, {VK_RWIN}, L"Win+A", 'A'},
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001, {VK_MENU}, L"Alt+F4", VK_F4},
        {WM_SYSKEYDOWN, VK_F10, 0x00440001, {}, L"F10", VK_F10},
        {WM_KEYDOWN, VK_SHIFT, 0x00000001, {VK_SHIFT}, L"Shift+Shift", VK_SHIFT},
        {WM_KEYDOWN, VK_F13, 0x00640001, {VK_CONTROL}, L"Ctrl+", VK_F13},
        {WM_KEYDOWN, VK_CANCEL, 0x01460001, {VK_CONTROL}, L"Ctrl+Ctrl+Break", VK_CANCEL},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(Narrow(r.text));
        HoldKeys(r.held);
        EXPECT_EQ(::SendMessageW(m_edit, r.msg, r.vk, r.keyData), 1);
        EXPECT_EQ(WindowText(m_edit), r.text);
        std::uint8_t key = 0;
        bool ctrl = true, shift = true, alt = true, win = true;
        box.GetHotKey(key, ctrl, shift, alt, win);
        EXPECT_EQ(key, r.key);
    }
    // Alt+F4 never reached default handling: the window is still there.
    EXPECT_TRUE(::IsWindow(m_parent));
}

TEST_F(KeyDetectBoxTest, ShiftInsertIsCapturedNotPasted) {
    CKeyDetectBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    PutOnClipboard(m_parent, L"pasted");
    HoldKeys({VK_SHIFT});
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_INSERT, 0x01520001);
    EXPECT_EQ(WindowText(m_edit), L"Shift+Insert");
    // Other messages still reach the edit control.
    ::SendMessageW(m_edit, EM_SETSEL, 12, 12);
    ::SendMessageW(m_edit, WM_PASTE, 0, 0);
    EXPECT_EQ(WindowText(m_edit), L"Shift+Insertpasted");
}

TEST_F(KeyDetectBoxTest, TypingReleasingAndContextMenuChangeNothing) {
    CKeyDetectBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    box.SetHotKey(VK_F9, true, false, true, false);
    ASSERT_EQ(WindowText(m_edit), L"Ctrl+Alt+F9");
    for (UINT msg : {WM_CHAR, WM_KEYUP, WM_SYSKEYUP}) {
        EXPECT_EQ(::SendMessageW(m_edit, msg, 'x', 0xC02D0001), 1) << msg;
        EXPECT_EQ(WindowText(m_edit), L"Ctrl+Alt+F9") << msg;
    }
    // Asked through the map so that a failure cannot leave a modal menu open.
    LRESULT result = 0;
    EXPECT_TRUE(box.ProcessWindowMessage(m_edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_edit),
                                         MAKELPARAM(20, 20), result));
    EXPECT_EQ(result, 1);
}

TEST_F(KeyDetectBoxTest, SetHotKeyRoundTripsWhatCaptureNeverProduces) {
    CKeyDetectBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    box.SetHotKey(VK_CONTROL, true, false, false, false);
    EXPECT_EQ(WindowText(m_edit), L"Ctrl+Ctrl");
    std::uint8_t key = 0;
    bool ctrl = false, shift = true, alt = true, win = true;
    box.GetHotKey(key, ctrl, shift, alt, win);
    EXPECT_EQ(key, VK_CONTROL);
    EXPECT_TRUE(ctrl);
    EXPECT_FALSE(shift || alt || win);
    box.SetHotKey(0, false, false, false, false);
    EXPECT_EQ(WindowText(m_edit), L"");
}

using IntegerBoxTest = EditHost;

TEST_F(IntegerBoxTest, TypingIsFiltered) {
    CIntegerBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    struct Row {
        wchar_t ch;
        bool shift;
        const wchar_t* textAfter;
    };
    const Row rows[] = {
        {L'1', false, L"1"},     {L'a', false, L"1"},     {L'-', false, L"1-"},
        {L'+', false, L"1-"},    {L'.', false, L"1-"},    {L' ', false, L"1-"},
        {L'5', true, L"1-"},     {L'-', true, L"1-"},     {L'7', false, L"1-7"},
        {0x0661, false, L"1-7"}, {0xFF15, false, L"1-7"}, {0x16, false, L"1-7"},
        {L'\b', true, L"1-"},    {L'\b', false, L"1"},    {L'0', false, L"10"},
    };
    for (const Row& r : rows) {
        HoldKeys(r.shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
        ::SendMessageW(m_edit, WM_CHAR, r.ch, 1);
        EXPECT_EQ(WindowText(m_edit), r.textAfter) << "char " << static_cast<int>(r.ch);
    }
    EXPECT_EQ(box.GetValue(), 10);
}

TEST_F(IntegerBoxTest, KeyDownsStayTheEditControlsButAltKeysDoNothing) {
    CIntegerBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    box.SetValue(123);
    ::SendMessageW(m_edit, EM_SETSEL, 0, 0);
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_DELETE, 0x01530001);
    EXPECT_EQ(WindowText(m_edit), L"23");
    // Shift+Insert pastes, unfiltered.
    PutOnClipboard(m_parent, L" 4");
    ::SendMessageW(m_edit, EM_SETSEL, 0, 0);
    HoldKeys({VK_SHIFT});
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_INSERT, 0x01520001);
    EXPECT_EQ(WindowText(m_edit), L" 423");
    EXPECT_EQ(box.GetValue(), 423);
    HoldKeys({VK_MENU});
    EXPECT_EQ(::SendMessageW(m_edit, WM_SYSKEYDOWN, VK_BACK, 0x200E0001), 1);
    EXPECT_EQ(::SendMessageW(m_edit, WM_KEYUP, VK_BACK, 0xC00E0001), 1);
    EXPECT_EQ(WindowText(m_edit), L" 423");
    LRESULT result = 0;
    EXPECT_TRUE(box.ProcessWindowMessage(m_edit, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_edit),
                                         MAKELPARAM(20, 20), result));
    EXPECT_EQ(result, 1);
}

TEST_F(IntegerBoxTest, ValuesThroughTheControl) {
    CIntegerBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    struct Row {
        std::int32_t value;
        const wchar_t* text;
        std::int32_t readBack;
    };
    const Row rows[] = {
        {0, L"0", 0},
        {-5, L"-5", -5},
        {120, L"120", 120},
        {999999999, L"999999999", 999999999},
        {-99999999, L"-99999999", -99999999},
        {1234567890, L"1234567890", 123456789},
        {INT32_MIN, L"-2147483648", -21474836},
    };
    for (const Row& r : rows) {
        box.SetValue(r.value);
        EXPECT_EQ(WindowText(m_edit), r.text);
        EXPECT_EQ(box.GetValue(), r.readBack) << r.value;
    }
    for (const auto& [text, value] : {std::pair{L"", 0},
                                      {L"-", 0},
                                      {L"--5", 0},
                                      {L"12-3", 12},
                                      {L"007", 7},
                                      {L"+5", 5},
                                      {L"abc", 0}}) {
        ::SetWindowTextW(m_edit, text);
        EXPECT_EQ(box.GetValue(), value) << Narrow(text);
    }
}

} // namespace
