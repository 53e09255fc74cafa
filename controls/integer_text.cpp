#include "controls/integer_text.h"

#include <cwchar>

bool IntegerBoxAcceptsChar(std::uint32_t ch, bool shiftDown) {
    const bool digitOrMinus = (ch >= L'0' && ch <= L'9') || ch == L'-';
    if (digitOrMinus && !shiftDown)
        return true;
    // Backspace deletes whatever the Shift state; everything else, including all
    // characters above 255 that input methods deliver, is swallowed.
    return ch == 8;
}

std::int32_t IntegerFromText(const std::wstring& text) {
    const std::wstring head = text.substr(0, kIntegerBoxReadChars);
    // Nine characters cannot leave the 32-bit range, so no clamping applies.
    return static_cast<std::int32_t>(std::wcstol(head.c_str(), nullptr, 10));
}

std::wstring IntegerToText(std::int32_t value) {
    // Magnitude in unsigned arithmetic, so INT32_MIN needs no special case.
    std::uint32_t magnitude = static_cast<std::uint32_t>(value);
    if (value < 0)
        magnitude = 0u - magnitude;
    wchar_t digits[11];
    std::size_t n = 0;
    do {
        digits[n++] = static_cast<wchar_t>(L'0' + magnitude % 10u);
        magnitude /= 10u;
    } while (magnitude != 0);
    std::wstring text;
    if (value < 0)
        text += L'-';
    while (n > 0)
        text += digits[--n];
    return text;
}
