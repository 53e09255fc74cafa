// The platform-free rules of the two boxes: key capture, key names, integer text.
#include "controls/key_capture.h"
#include "controls/key_names.h"
#include "controls/integer_text.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

// lParam values as Windows (and Wine) deliver them; held: ctrl, shift, alt, lwin, rwin;
// expected: vk, ctrl, shift, alt, win.
TEST(CaptureHotKey, Table) {
    using Row = std::tuple<const char*, std::uint32_t, std::uint32_t, KeyDownState, HotKeyValue>;
    const Row rows[] = {
        {"A with Ctrl+Alt", 0x41, 0x001E0001, {1, 0, 1, 0, 0}, {0x41, 1, 0, 1, 0}},
        {"left Ctrl", 0x11, 0x001D0001, {1, 0, 0, 0, 0}, {162, 0, 0, 0, 0}},
        {"right Ctrl", 0x11, 0x011D0001, {1, 0, 0, 0, 0}, {163, 0, 0, 0, 0}},
        {"left Shift with Ctrl", 0x10, 0x002A0001, {1, 1, 0, 0, 0}, {160, 1, 0, 0, 0}},
        {"right Shift", 0x10, 0x00360001, {0, 1, 0, 0, 0}, {161, 0, 0, 0, 0}},
        {"left Alt", 0x12, 0x20380001, {0, 0, 1, 0, 0}, {164, 0, 0, 0, 0}},
        {"right Alt with Ctrl", 0x12, 0x21380001, {1, 0, 1, 0, 0}, {165, 1, 0, 0, 0}},
        {"left Win", 0x5B, 0x015B0001, {0, 0, 0, 1, 0}, {91, 0, 0, 0, 0}},
        {"right Win with Shift", 0x5C, 0x015C0001, {0, 1, 0, 0, 1}, {92, 0, 1, 0, 0}},
        {"A with right Win", 0x41, 0x001E0001, {0, 0, 0, 0, 1}, {0x41, 0, 0, 0, 1}},
        {"Shift without scan code", 0x10, 0x00000001, {0, 1, 0, 0, 0}, {16, 0, 1, 0, 0}},
        {"only seven scan-code bits", 0x41, 0x009D0001, {0, 0, 0, 0, 0}, {162, 0, 0, 0, 0}},
        {"low byte of the key code", 0x141, 0x001E0001, {0, 0, 0, 0, 0}, {0x41, 0, 0, 0, 0}},
    };
    for (const auto& [what, keyCode, keyData, held, expected] : rows)
        EXPECT_EQ(CaptureHotKey(keyCode, keyData, held), expected) << what;
}

TEST(KeyNameTable, NamedCodesAndTheIrregularNames) {
    int named = 0;
    for (const wchar_t* name : KeyNameTable)
        named += name ? 1 : 0;
    EXPECT_EQ(named, 110);
    const std::pair<int, const wchar_t*> rows[] = {
        {3, L"Ctrl+Break"}, {33, L"PageUp"}, {34, L"PageDn"},   {48, L"0"},    {90, L"Z"},
        {96, L"Num 0"},     {106, L"Num *"}, {110, L"Num Del"}, {123, L"F12"}, {165, L"RAlt"},
        {187, L"+"},        {188, L"<"},     {192, L"~"},       {220, L"\\"},  {222, L"\""},
    };
    for (const auto& [code, name] : rows)
        EXPECT_STREQ(KeyNameTable[static_cast<std::size_t>(code)], name) << "code " << code;
}

TEST(FormatHotKeyText, FixedOrderAndSeparators) {
    const std::tuple<int, bool, bool, bool, bool, std::wstring> rows[] = {
        {0, false, false, false, false, L""},
        {124, true, true, false, false, L"Ctrl+Shift+"}, // no name: the modifiers alone
        {65, true, true, true, true, L"Ctrl+Shift+Alt+Win+A"},
        {187, true, false, false, false, L"Ctrl++"},
        {91, false, false, false, true, L"Win+LWin"},
    };
    for (const auto& [key, ctrl, shift, alt, win, text] : rows)
        EXPECT_EQ(FormatHotKeyText(static_cast<std::uint8_t>(key), ctrl, shift, alt, win), text)
            << "key " << key;
}

// The stored Modifiers value carries other bits too (MOD_NOREPEAT among them).
TEST(Modifiers, ConvertBothWaysIgnoringOtherBits) {
    EXPECT_EQ(HotKeyFromSettings(0x141, 0x4009), (HotKeyValue{0x41, false, false, true, true}));
    EXPECT_EQ(HotKeyFromSettings(0, 6), (HotKeyValue{0, true, true, false, false}));
    EXPECT_EQ(ModifiersOf({0, true, false, true, false}), 3u);
    EXPECT_EQ(ModifiersOf({0, false, true, false, true}), 12u);
}

TEST(IntegerBoxFilter, DigitsMinusAndBackspaceWithoutShift) {
    const std::tuple<std::uint32_t, bool, bool> rows[] = {
        {'0', false, true}, {'9', false, true},     {'-', false, true},      {8, true, true},
        {'5', true, false}, {'-', true, false},     {'a', false, false},     {'+', false, false},
        {22, false, false}, {0x0661, false, false}, {0x10030, false, false},
    };
    for (const auto& [ch, shift, passes] : rows)
        EXPECT_EQ(IntegerBoxAcceptsChar(ch, shift), passes) << "char " << ch << " shift " << shift;
}

TEST(IntegerText, ReadsTheFirstNineCharactersAndWritesDecimal) {
    const std::pair<const wchar_t*, std::int32_t> reads[] = {
        {L"", 0},
        {L"--5", 0},
        {L"12-3", 12},
        {L"+010", 10},
        {L" \t-42", -42},
        {L"1234567890", 123456789},
        {L"-999999999", -99999999},
    };
    for (const auto& [text, value] : reads)
        EXPECT_EQ(IntegerFromText(text), value) << "text " << text;
    EXPECT_EQ(IntegerToText(INT32_MIN), L"-2147483648");
    EXPECT_EQ(IntegerToText(INT32_MAX), L"2147483647");
}

} // namespace
