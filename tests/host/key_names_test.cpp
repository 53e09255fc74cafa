#include "controls/key_names.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

std::wstring Name(int code) {
    const wchar_t* name = KeyNameTable[static_cast<std::size_t>(code)];
    return name ? name : L"<none>";
}

TEST(KeyNameTable, NamedCodesAndTheIrregularNames) {
    int named = 0;
    for (const wchar_t* name : KeyNameTable)
        named += name ? 1 : 0;
    EXPECT_EQ(named, 110);
    const std::pair<int, const wchar_t*> rows[] = {
        {3, L"Ctrl+Break"}, {33, L"PageUp"}, {34, L"PageDn"},   {48, L"0"},       {90, L"Z"},
        {96, L"Num 0"},     {106, L"Num *"}, {110, L"Num Del"}, {123, L"F12"},    {165, L"RAlt"},
        {187, L"+"},        {188, L"<"},     {192, L"~"},       {220, L"\\"},     {222, L"\""},
        {0, L"<none>"},     {12, L"<none>"}, {124, L"<none>"},  {255, L"<none>"},
    };
    for (const auto& [code, name] : rows)
        EXPECT_EQ(Name(code), name) << "code " << code;
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

} // namespace
