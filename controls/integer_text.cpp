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
    return std::to_wstring(value);
}
