#pragma once
#include <cstdint>

// Key-down state of the modifiers as of the keyboard message being handled.
struct KeyDownState {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool lwin = false;
    bool rwin = false;
};

struct CapturedHotKey {
    std::uint8_t vk = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool win = false;
    friend bool operator==(const CapturedHotKey&, const CapturedHotKey&) = default;
};

// A WM_KEYDOWN/WM_SYSKEYDOWN (key code, key data) becomes the whole new hot key.
CapturedHotKey CaptureHotKey(std::uint32_t keyCode, std::uint32_t keyData,
                             const KeyDownState& down);
