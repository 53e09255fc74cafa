#include "controls/key_capture.h"

namespace {
constexpr std::uint32_t kScanCtrl = 0x1D;
constexpr std::uint32_t kScanLeftShift = 0x2A;
constexpr std::uint32_t kScanRightShift = 0x36;
constexpr std::uint32_t kScanAlt = 0x38;
constexpr std::uint8_t kVkLeftShift = 0xA0;
constexpr std::uint8_t kVkRightShift = 0xA1;
constexpr std::uint8_t kVkLeftControl = 0xA2;
constexpr std::uint8_t kVkRightControl = 0xA3;
constexpr std::uint8_t kVkLeftMenu = 0xA4;
constexpr std::uint8_t kVkRightMenu = 0xA5;
constexpr std::uint8_t kVkLeftWin = 0x5B;
constexpr std::uint8_t kVkRightWin = 0x5C;
} // namespace

HotKeyValue CaptureHotKey(std::uint32_t keyCode, std::uint32_t keyData, const KeyDownState& down) {
    HotKeyValue key;
    key.ctrl = down.ctrl;
    key.shift = down.shift;
    key.alt = down.alt;
    key.win = down.lwin || down.rwin;

    // Seven bits of the scan code, as the key data's bits 16 to 22.
    const std::uint32_t scanCode = (keyData >> 16) & 0x7Fu;
    const bool extended = (keyData & (1u << 24)) != 0;

    // A modifier pressed by itself becomes the key, left or right, and drops its own flag.
    switch (scanCode) {
    case kScanCtrl:
        key.ctrl = false;
        key.vk = extended ? kVkRightControl : kVkLeftControl;
        break;
    case kScanLeftShift:
        key.vk = kVkLeftShift;
        key.shift = false;
        break;
    case kScanRightShift:
        key.vk = kVkRightShift;
        key.shift = false;
        break;
    case kScanAlt:
        key.alt = false;
        key.vk = extended ? kVkRightMenu : kVkLeftMenu;
        break;
    default:
        key.vk = static_cast<std::uint8_t>(keyCode & 0xFFu);
        if (key.vk == kVkLeftWin || key.vk == kVkRightWin)
            key.win = false;
        break;
    }
    return key;
}
