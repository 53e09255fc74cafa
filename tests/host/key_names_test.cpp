#include "controls/key_names.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring Name(int code) {
    const wchar_t* name = KeyNameTable[static_cast<std::size_t>(code)];
    return name ? name : L"<none>";
}

TEST(KeyNameTable, NamedCodesAndTheIrregularNames) {
    int named = 0;
    for (int code = 0; code < 256; ++code)
        named += KeyNameTable[static_cast<std::size_t>(code)] ? 1 : 0;
    EXPECT_EQ(named, 110);
    const std::pair<int, const wchar_t*> rows[] = {
        {3, L"Ctrl+Break"}, {8, L"BackSpace"}, {33, L"PageUp"}, {34, L"PageDn"},  {48, L"0"},
        {90, L"Z"},         {91, L"LWin"},     {96, L"Num 0"},  {106, L"Num *"},  {110, L"Num Del"},
        {111, L"Num /"},    {123, L"F12"},     {165, L"RAlt"},  {187, L"+"},      {188, L"<"},
        {190, L">"},        {192, L"~"},       {220, L"\\"},    {222, L"\""},     {0, L"<none>"},
        {12, L"<none>"},    {44, L"<none>"},   {94, L"<none>"}, {108, L"<none>"}, {124, L"<none>"},
        {226, L"<none>"},   {255, L"<none>"},
    };
    for (const auto& [code, name] : rows)
        EXPECT_EQ(Name(code), name) << "code " << code;
}

TEST(FormatHotKeyText, FixedOrderAndSeparators) {
    struct Row {
        int key;
        bool ctrl, shift, alt, win;
        std::wstring text;
    };
    const Row rows[] = {
        {0, false, false, false, false, L""},
        {0, true, false, false, false, L"Ctrl+"},
        {124, true, true, false, false, L"Ctrl+Shift+"},
        {65, true, true, true, true, L"Ctrl+Shift+Alt+Win+A"},
        {120, true, false, true, false, L"Ctrl+Alt+F9"},
        {187, true, false, false, false, L"Ctrl++"},
        {3, true, false, false, false, L"Ctrl+Ctrl+Break"},
        {91, false, false, false, true, L"Win+LWin"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(FormatHotKeyText(static_cast<std::uint8_t>(r.key), r.ctrl, r.shift, r.alt, r.win),
                  r.text)
            << "key " << r.key;
}

TEST(Modifiers, ConvertBothWaysIgnoringOtherBits) {
    EXPECT_EQ(HotKeyFromSettings(0x141, 0x4009), (HotKeyValue{0x41, false, false, true, true}));
    EXPECT_EQ(HotKeyFromSettings(0, 6), (HotKeyValue{0, true, true, false, false}));
    EXPECT_EQ(HotKeyFromSettings(0, 0xFFFFFFF0u), HotKeyValue{});
    EXPECT_EQ(ModifiersOf({0, true, false, false, true}), 10u);
    EXPECT_EQ(ModifiersOf({0, true, true, true, true}), 15u);
    EXPECT_EQ(ModifiersOf({0, false, false, true, false}), 1u);
}

} // namespace
