#pragma once
#include <array>
#include <cstdint>
#include <string>

// Display names by virtual-key code; nullptr where a code has no name.
extern const std::array<const wchar_t*, 256> KeyNameTable;

// "Ctrl+Shift+Alt+Win+" in that fixed order, then the key's name (if any).
std::wstring FormatHotKeyText(std::uint8_t key, bool ctrl, bool shift, bool alt, bool win);

// Modifier bits as RegisterHotKey takes them.
inline constexpr std::uint32_t kModAlt = 1;
inline constexpr std::uint32_t kModControl = 2;
inline constexpr std::uint32_t kModShift = 4;
inline constexpr std::uint32_t kModWin = 8;

struct ModifierFlags {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool win = false;
    friend bool operator==(const ModifierFlags&, const ModifierFlags&) = default;
};

std::uint32_t ModifiersFromFlags(bool ctrl, bool shift, bool alt, bool win);
// Bits other than the four modifier bits are ignored.
ModifierFlags FlagsFromModifiers(std::uint32_t modifiers);
// The capture box shows only the low 8 bits of a stored key.
inline std::uint8_t KeyFromStoredHotKey(std::uint32_t hotKey) {
    return static_cast<std::uint8_t>(hotKey & 0xFFu);
}
