#include "controls/integer_text.h"

#include <gtest/gtest.h>

namespace {

TEST(IntegerBoxFilter, Characters) {
    struct Row {
        std::uint32_t ch;
        bool shift;
        bool passes;
    };
    const Row rows[] = {
        {'0', false, true},
        {'5', false, true},
        {'9', false, true},
        {'-', false, true},
        {8, false, true},
        {8, true, true},
        {'5', true, false},
        {'-', true, false},
        {'a', false, false},
        {'+', false, false},
        {'.', false, false},
        {' ', false, false},
        {'/', false, false},
        {':', false, false},
        {22, false, false},
        {13, false, false},
        {27, false, false},
        {0, false, false},
        {255, false, false},
        {0x0660, false, false},
        {0xFF10, false, false},
        {0x10030, false, false},
        {0x2D + 0x10000, false, false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IntegerBoxAcceptsChar(r.ch, r.shift), r.passes)
            << "char " << r.ch << " shift " << r.shift;
}

TEST(IntegerBoxFilter, OnlyDigitsMinusAndBackspaceOfAllLatin1) {
    int passed = 0;
    for (std::uint32_t ch = 0; ch < 256; ++ch)
        passed += IntegerBoxAcceptsChar(ch, false) ? 1 : 0;
    EXPECT_EQ(passed, 12);
}

TEST(IntegerFromText, LikeWcstolOnTheFirstNineCharacters) {
    struct Row {
        std::wstring text;
        std::int32_t value;
    };
    const Row rows[] = {
        {L"", 0},
        {L"-", 0},
        {L"--5", 0},
        {L"12-3", 12},
        {L"-0", 0},
        {L"007", 7},
        {L"-42", -42},
        {L"1234567890", 123456789},
        {L"999999999", 999999999},
        {L"-99999999", -99999999},
        {L"-999999999", -99999999},
        {L"-2147483648", -21474836},
        {L" 42", 42},
        {L"\t\n-7", -7},
        {L"+5", 5},
        {L"abc", 0},
        {L"5abc", 5},
        {L"        12", 1},
        {L"         1", 0},
        {L"-5-", -5},
        {L"0x1F", 0},
        {L"4\x0663", 4},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IntegerFromText(r.text), r.value) << "text length " << r.text.size();
}

TEST(IntegerToText, PrintfDecimal) {
    struct Row {
        std::int32_t value;
        std::wstring text;
    };
    const Row rows[] = {{0, L"0"},
                        {-5, L"-5"},
                        {120, L"120"},
                        {INT32_MIN, L"-2147483648"},
                        {INT32_MAX, L"2147483647"}};
    for (const Row& r : rows)
        EXPECT_EQ(IntegerToText(r.value), r.text) << r.value;
}

TEST(IntegerText, RoundTripHoldsOnlyWithinNineCharacters) {
    for (std::int32_t v : {-99999999, -1, 0, 1, 999999999, 123456789})
        EXPECT_EQ(IntegerFromText(IntegerToText(v)), v);
    EXPECT_EQ(IntegerFromText(IntegerToText(INT32_MIN)), -21474836);
    EXPECT_EQ(IntegerFromText(IntegerToText(1000000000)), 100000000);
}

} // namespace
