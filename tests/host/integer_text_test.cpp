#include "controls/integer_text.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

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
    EXPECT_EQ(IntegerToText(0), L"0");
    EXPECT_EQ(IntegerToText(INT32_MIN), L"-2147483648");
    EXPECT_EQ(IntegerToText(INT32_MAX), L"2147483647");
}

} // namespace
