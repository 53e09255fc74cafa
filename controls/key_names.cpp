#include "controls/key_names.h"

#include <array>

namespace {

using Table = std::array<const wchar_t*, 256>;

// Names for consecutive codes starting at `first`.
template <std::size_t N>
constexpr void PlaceRun(Table& t, std::size_t first, const wchar_t* const (&names)[N]) {
    for (std::size_t i = 0; i < N; ++i)
        t[first + i] = names[i];
}

constexpr Table MakeKeyNameTable() {
    Table t{};
    t[0x01] = L"LMouse";
    t[0x02] = L"RMouse";
    t[0x03] = L"Ctrl+Break";
    t[0x04] = L"MMouse";
    t[0x08] = L"BackSpace";
    t[0x09] = L"Tab";
    t[0x0D] = L"Enter";
    t[0x10] = L"Shift";
    t[0x11] = L"Ctrl";
    t[0x12] = L"Alt";
    t[0x13] = L"Pause";
    t[0x14] = L"CapsLock";
    t[0x1B] = L"Esc";
    t[0x20] = L"Space";
    t[0x21] = L"PageUp";
    t[0x22] = L"PageDn";
    t[0x23] = L"End";
    t[0x24] = L"Home";
    t[0x25] = L"Left";
    t[0x26] = L"Up";
    t[0x27] = L"Right";
    t[0x28] = L"Down";
    t[0x2D] = L"Insert";
    t[0x2E] = L"Delete";
    PlaceRun(t, 0x30, {L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9"});
    PlaceRun(t, 0x41,
             {L"A", L"B", L"C", L"D", L"E", L"F", L"G", L"H", L"I", L"J", L"K", L"L", L"M",
              L"N", L"O", L"P", L"Q", L"R", L"S", L"T", L"U", L"V", L"W", L"X", L"Y", L"Z"});
    t[0x5B] = L"LWin";
    t[0x5C] = L"RWin";
    t[0x5D] = L"App";
    t[0x5F] = L"Sleep";
    PlaceRun(t, 0x60,
             {L"Num 0", L"Num 1", L"Num 2", L"Num 3", L"Num 4", L"Num 5", L"Num 6", L"Num 7",
              L"Num 8", L"Num 9"});
    t[0x6A] = L"Num *";
    t[0x6B] = L"Num +";
    t[0x6D] = L"Num -";
    t[0x6E] = L"Num Del";
    t[0x6F] = L"Num /";
    PlaceRun(
        t, 0x70,
        {L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7", L"F8", L"F9", L"F10", L"F11", L"F12"});
    t[0x90] = L"NumLock";
    t[0x91] = L"ScrollLock";
    t[0xA0] = L"LShift";
    t[0xA1] = L"RShift";
    t[0xA2] = L"LCtrl";
    t[0xA3] = L"RCtrl";
    t[0xA4] = L"LAlt";
    t[0xA5] = L"RAlt";
    t[0xBA] = L";";
    t[0xBB] = L"+";
    t[0xBC] = L"<";
    t[0xBD] = L"-";
    t[0xBE] = L">";
    t[0xBF] = L"/";
    t[0xC0] = L"~";
    t[0xDB] = L"[";
    t[0xDC] = L"\\";
    t[0xDD] = L"]";
    t[0xDE] = L"\"";
    return t;
}

void AppendName(std::wstring& text, std::uint8_t key) {
    if (const wchar_t* name = KeyNameTable[key])
        text += name;
}

} // namespace

constinit const std::array<const wchar_t*, 256> KeyNameTable = MakeKeyNameTable();

std::wstring FormatHotKeyText(std::uint8_t key, bool ctrl, bool shift, bool alt, bool win) {
    std::wstring text;
    if (ctrl) {
        AppendName(text, 0x11);
        text += L'+';
    }
    if (shift) {
        AppendName(text, 0x10);
        text += L'+';
    }
    if (alt) {
        AppendName(text, 0x12);
        text += L'+';
    }
    if (win)
        text += L"Win+";
    AppendName(text, key);
    return text;
}

HotKeyValue HotKeyFromSettings(std::uint32_t hotKey, std::uint32_t modifiers) {
    HotKeyValue key;
    key.vk = static_cast<std::uint8_t>(hotKey & 0xFFu);
    key.ctrl = (modifiers & kModControl) != 0;
    key.shift = (modifiers & kModShift) != 0;
    key.alt = (modifiers & kModAlt) != 0;
    key.win = (modifiers & kModWin) != 0;
    return key;
}

std::uint32_t ModifiersOf(const HotKeyValue& key) {
    std::uint32_t modifiers = 0;
    if (key.ctrl)
        modifiers |= kModControl;
    if (key.shift)
        modifiers |= kModShift;
    if (key.alt)
        modifiers |= kModAlt;
    if (key.win)
        modifiers |= kModWin;
    return modifiers;
}
