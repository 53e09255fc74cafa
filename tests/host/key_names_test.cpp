#include "controls/key_names.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

std::string Narrow(const std::wstring& w) {
    std::string s;
    for (wchar_t c : w)
        s += c < 128 ? static_cast<char>(c) : '?';
    return s;
}

// The names written out one by one, independently of the table's own construction.
const std::map<int, std::wstring> kExpectedNames = {
    {1, L"LMouse"},  {2, L"RMouse"},    {3, L"Ctrl+Break"},   {4, L"MMouse"},   {8, L"BackSpace"},
    {9, L"Tab"},     {13, L"Enter"},    {16, L"Shift"},       {17, L"Ctrl"},    {18, L"Alt"},
    {19, L"Pause"},  {20, L"CapsLock"}, {27, L"Esc"},         {32, L"Space"},   {33, L"PageUp"},
    {34, L"PageDn"}, {35, L"End"},      {36, L"Home"},        {37, L"Left"},    {38, L"Up"},
    {39, L"Right"},  {40, L"Down"},     {45, L"Insert"},      {46, L"Delete"},  {48, L"0"},
    {49, L"1"},      {50, L"2"},        {51, L"3"},           {52, L"4"},       {53, L"5"},
    {54, L"6"},      {55, L"7"},        {56, L"8"},           {57, L"9"},       {65, L"A"},
    {66, L"B"},      {67, L"C"},        {68, L"D"},           {69, L"E"},       {70, L"F"},
    {71, L"G"},      {72, L"H"},        {73, L"I"},           {74, L"J"},       {75, L"K"},
    {76, L"L"},      {77, L"M"},        {78, L"N"},           {79, L"O"},       {80, L"P"},
    {81, L"Q"},      {82, L"R"},        {83, L"S"},           {84, L"T"},       {85, L"U"},
    {86, L"V"},      {87, L"W"},        {88, L"X"},           {89, L"Y"},       {90, L"Z"},
    {91, L"LWin"},   {92, L"RWin"},     {93, L"App"},         {95, L"Sleep"},   {96, L"Num 0"},
    {97, L"Num 1"},  {98, L"Num 2"},    {99, L"Num 3"},       {100, L"Num 4"},  {101, L"Num 5"},
    {102, L"Num 6"}, {103, L"Num 7"},   {104, L"Num 8"},      {105, L"Num 9"},  {106, L"Num *"},
    {107, L"Num +"}, {109, L"Num -"},   {110, L"Num Del"},    {111, L"Num /"},  {112, L"F1"},
    {113, L"F2"},    {114, L"F3"},      {115, L"F4"},         {116, L"F5"},     {117, L"F6"},
    {118, L"F7"},    {119, L"F8"},      {120, L"F9"},         {121, L"F10"},    {122, L"F11"},
    {123, L"F12"},   {144, L"NumLock"}, {145, L"ScrollLock"}, {160, L"LShift"}, {161, L"RShift"},
    {162, L"LCtrl"}, {163, L"RCtrl"},   {164, L"LAlt"},       {165, L"RAlt"},   {186, L";"},
    {187, L"+"},     {188, L"<"},       {189, L"-"},          {190, L">"},      {191, L"/"},
    {192, L"~"},     {219, L"["},       {220, L"\x5C"},       {221, L"]"},      {222, L"\x22"},
};

TEST(KeyNameTable, EveryOneOfThe256EntriesMatches) {
    ASSERT_EQ(kExpectedNames.size(), 110u);
    int named = 0;
    for (int code = 0; code < 256; ++code) {
        const wchar_t* actual = KeyNameTable[static_cast<std::size_t>(code)];
        auto it = kExpectedNames.find(code);
        if (it == kExpectedNames.end()) {
            EXPECT_EQ(actual, nullptr) << "code " << code << " should have no name";
        } else {
            ++named;
            ASSERT_NE(actual, nullptr) << "code " << code;
            EXPECT_EQ(std::wstring(actual), it->second) << "code " << code;
        }
    }
    EXPECT_EQ(named, 110);
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
        {17, true, false, false, false, L"Ctrl+Ctrl"},
        {91, false, false, false, true, L"Win+LWin"},
        {96, false, false, false, false, L"Num 0"},
        {220, false, false, false, false, L"\\"},
        {123, false, true, false, true, L"Shift+Win+F12"},
        {255, false, false, true, false, L"Alt+"},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(FormatHotKeyText(static_cast<std::uint8_t>(r.key), r.ctrl, r.shift, r.alt, r.win),
                  r.text)
            << "key " << r.key << " expected " << Narrow(r.text);
    }
}

TEST(Modifiers, ConvertBothWays) {
    struct Row {
        std::uint32_t modifiers;
        ModifierFlags flags;
    };
    const Row toFlags[] = {
        {0, {false, false, false, false}},    {1, {false, false, true, false}},
        {2, {true, false, false, false}},     {4, {false, true, false, false}},
        {8, {false, false, false, true}},     {15, {true, true, true, true}},
        {0x4009, {false, false, true, true}}, {0xFFFFFFF0u, {false, false, false, false}},
    };
    for (const Row& r : toFlags)
        EXPECT_EQ(FlagsFromModifiers(r.modifiers), r.flags) << "modifiers " << r.modifiers;

    EXPECT_EQ(ModifiersFromFlags(true, false, false, true), 10u);
    EXPECT_EQ(ModifiersFromFlags(true, true, true, true), 15u);
    EXPECT_EQ(ModifiersFromFlags(false, false, true, false), 1u);
    EXPECT_EQ(ModifiersFromFlags(false, false, false, false), 0u);
    // Bits beyond the four are dropped by a round trip through the flags.
    const ModifierFlags f = FlagsFromModifiers(0x4009);
    EXPECT_EQ(ModifiersFromFlags(f.ctrl, f.shift, f.alt, f.win), 9u);
}

TEST(Modifiers, StoredHotKeyShowsLowEightBits) {
    EXPECT_EQ(KeyFromStoredHotKey(0x141), 0x41);
    EXPECT_EQ(KeyFromStoredHotKey(0xFFFFFF00u), 0);
    EXPECT_EQ(FormatHotKeyText(KeyFromStoredHotKey(0x141), false, false, false, false), L"A");
}

} // namespace
