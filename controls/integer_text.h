#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// GetValue reads at most this many characters of the box's text.
inline constexpr std::size_t kIntegerBoxReadChars = 9;

// WM_CHAR filter: true passes the character to the edit control, false swallows it.
bool IntegerBoxAcceptsChar(std::uint32_t ch, bool shiftDown);

// Converts the first 9 characters as wcstol does in base 10 (0 when no digits).
std::int32_t IntegerFromText(const std::wstring& text);

// "%d".
std::wstring IntegerToText(std::int32_t value);
