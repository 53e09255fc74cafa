#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "controls/integer_box_win.h"
#include "controls/key_detect_box_win.h"
#include "win32_test_support.h"

namespace {

// A top-level window with one plain edit control, as in the dialog template.
class EditHost : public ::testing::Test {
protected:
    void SetUp() override {
        m_parent = CreateWindowExW(0, L"Static", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                   300, 200, nullptr, nullptr, nullptr, nullptr);
        m_edit = CreateWindowExW(0, L"Edit", L"", 0x50810080, 10, 10, 200, 24, m_parent, nullptr,
                                 nullptr, nullptr);
        ASSERT_NE(m_edit, nullptr);
    }
    void TearDown() override {
        HoldKeys({});
        DestroyWindow(m_parent);
        PumpMessages();
    }
    void PutOnClipboard(const std::wstring& text) {
        ASSERT_TRUE(OpenClipboard(m_parent));
        EmptyClipboard();
        const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, bytes);
        std::memcpy(GlobalLock(mem), text.c_str(), bytes);
        GlobalUnlock(mem);
        SetClipboardData(CF_UNICODETEXT, mem);
        CloseClipboard();
    }
    HWND m_parent = nullptr;
    HWND m_edit = nullptr;
};

TEST_F(EditHost, KeyDetectBoxCapturesKeyDownsOnly) {
    CKeyDetectBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    struct Row {
        UINT msg, vk;
        LPARAM keyData;
        std::initializer_list<int> held;
        const wchar_t* text;
    };
    const Row rows[] = {
        {WM_KEYDOWN, VK_CONTROL, 0x001D0001, {VK_CONTROL, VK_LCONTROL}, L"LCtrl"},
        {WM_KEYDOWN, VK_CONTROL, 0x011D0001, {VK_CONTROL, VK_RCONTROL}, L"RCtrl"},
        {WM_KEYDOWN, VK_SHIFT, 0x002A0001, {VK_SHIFT}, L"LShift"},
        {WM_KEYDOWN, VK_SHIFT, 0x00360001, {VK_SHIFT}, L"RShift"},
        {WM_SYSKEYDOWN, VK_MENU, 0x20380001, {VK_MENU}, L"LAlt"},
        {WM_KEYDOWN, VK_MENU, 0x21380001, {VK_MENU, VK_CONTROL}, L"Ctrl+RAlt"}, // AltGr
        {WM_KEYDOWN, VK_LWIN, 0x015B0001, {VK_LWIN}, L"LWin"},
        {WM_KEYDOWN, VK_RWIN, 0x015C0001, {VK_RWIN, VK_SHIFT}, L"Shift+RWin"},
        {WM_KEYDOWN, 'A', 0x001E0001, {VK_RWIN}, L"Win+A"},
        {WM_SYSKEYDOWN, VK_F4, 0x203E0001, {VK_MENU}, L"Alt+F4"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(Narrow(r.text));
        HoldKeys(r.held);
        EXPECT_EQ(::SendMessageW(m_edit, r.msg, r.vk, r.keyData), 1);
        EXPECT_EQ(WindowText(m_edit), r.text);
    }
    EXPECT_TRUE(::IsWindow(m_parent)); // Alt+F4 never reached default handling

    // Shift+Insert is captured, not pasted; nothing else changes the text.
    PutOnClipboard(L"pasted");
    HoldKeys({VK_SHIFT});
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_INSERT, 0x01520001);
    EXPECT_EQ(WindowText(m_edit), L"Shift+Insert");
    for (UINT msg : {WM_CHAR, WM_KEYUP, WM_SYSKEYUP}) {
        EXPECT_EQ(::SendMessageW(m_edit, msg, 'x', 0xC02D0001), 1) << msg;
        EXPECT_EQ(WindowText(m_edit), L"Shift+Insert") << msg;
    }
}

TEST_F(EditHost, IntegerBoxFiltersTyping) {
    CIntegerBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    struct Row {
        wchar_t ch;
        bool shift;
        const wchar_t* textAfter;
    };
    const Row rows[] = {
        {L'1', false, L"1"}, {L'a', false, L"1"},   {L'-', false, L"1-"},    {L'+', false, L"1-"},
        {L'5', true, L"1-"}, {L'7', false, L"1-7"}, {0x0661, false, L"1-7"}, {L'\b', true, L"1-"},
    };
    for (const Row& r : rows) {
        HoldKeys(r.shift ? std::initializer_list<int>{VK_SHIFT} : std::initializer_list<int>{});
        ::SendMessageW(m_edit, WM_CHAR, r.ch, 1);
        EXPECT_EQ(WindowText(m_edit), r.textAfter) << "char " << static_cast<int>(r.ch);
    }
}

TEST_F(EditHost, IntegerBoxValuesAndKeyDownsThroughTheControl) {
    CIntegerBox box;
    ASSERT_TRUE(box.SubclassWindow(m_edit));
    struct Row {
        std::int32_t value, readBack; // read back from the first nine characters
        const wchar_t* text;
    };
    const Row rows[] = {{-5, -5, L"-5"},
                        {999999999, 999999999, L"999999999"},
                        {1234567890, 123456789, L"1234567890"},
                        {INT32_MIN, -21474836, L"-2147483648"}};
    for (const Row& r : rows) {
        box.SetValue(r.value);
        EXPECT_EQ(WindowText(m_edit), r.text);
        EXPECT_EQ(box.GetValue(), r.readBack) << r.value;
    }
    box.SetValue(123);
    ::SendMessageW(m_edit, EM_SETSEL, 0, 0);
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_DELETE, 0x01530001);
    EXPECT_EQ(WindowText(m_edit), L"23");
    HoldKeys({VK_MENU});
    EXPECT_EQ(::SendMessageW(m_edit, WM_SYSKEYDOWN, VK_BACK, 0x200E0001), 1); // no undo
    EXPECT_EQ(WindowText(m_edit), L"23");
}

} // namespace
