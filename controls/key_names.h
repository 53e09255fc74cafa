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

// A hot key as the capture box holds it: a key code (0 = none) and four modifier flags.
struct HotKeyValue {
    std::uint8_t vk = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool win = false;
    friend bool operator==(const HotKeyValue&, const HotKeyValue&) = default;
};

// The stored HotKey and Modifiers as the box shows them: the key's low 8 bits and the four
// modifier bits; other bits are ignored.
HotKeyValue HotKeyFromSettings(std::uint32_t hotKey, std::uint32_t modifiers);
// The four flags as modifier bits.
std::uint32_t ModifiersOf(const HotKeyValue& key);
