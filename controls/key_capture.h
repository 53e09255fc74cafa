#pragma once
#include <cstdint>

#include "controls/key_names.h"

// Key-down state of the modifiers as of the keyboard message being handled.
struct KeyDownState {
    bool ctrl = false;
    bool shift = false;
    bool alt = false;
    bool lwin = false;
    bool rwin = false;
};

// A WM_KEYDOWN/WM_SYSKEYDOWN (key code, key data) becomes the whole new hot key.
HotKeyValue CaptureHotKey(std::uint32_t keyCode, std::uint32_t keyData, const KeyDownState& down);
