#include "controls/key_capture.h"

#include <gtest/gtest.h>

namespace {

// lParam values as Windows (and Wine) deliver them; held: ctrl, shift, alt, lwin, rwin;
// expected: vk, ctrl, shift, alt, win.
TEST(CaptureHotKey, Table) {
    struct Row {
        const char* what;
        std::uint32_t keyCode, keyData;
        KeyDownState held;
        HotKeyValue expected;
    };
    const Row rows[] = {
        {"A with Ctrl+Alt", 0x41, 0x001E0001, {1, 0, 1, 0, 0}, {0x41, 1, 0, 1, 0}},
        {"left Ctrl", 0x11, 0x001D0001, {1, 0, 0, 0, 0}, {162, 0, 0, 0, 0}},
        {"right Ctrl", 0x11, 0x011D0001, {1, 0, 0, 0, 0}, {163, 0, 0, 0, 0}},
        {"left Shift with Ctrl", 0x10, 0x002A0001, {1, 1, 0, 0, 0}, {160, 1, 0, 0, 0}},
        {"right Shift", 0x10, 0x00360001, {0, 1, 0, 0, 0}, {161, 0, 0, 0, 0}},
        {"left Alt", 0x12, 0x20380001, {0, 0, 1, 0, 0}, {164, 0, 0, 0, 0}},
        {"right Alt with Ctrl", 0x12, 0x21380001, {1, 0, 1, 0, 0}, {165, 1, 0, 0, 0}},
        {"left Win", 0x5B, 0x015B0001, {0, 0, 0, 1, 0}, {91, 0, 0, 0, 0}},
        {"right Win with Shift", 0x5C, 0x015C0001, {0, 1, 0, 0, 1}, {92, 0, 1, 0, 0}},
        {"A with right Win", 0x41, 0x001E0001, {0, 0, 0, 0, 1}, {0x41, 0, 0, 0, 1}},
        {"Shift without scan code", 0x10, 0x00000001, {0, 1, 0, 0, 0}, {16, 0, 1, 0, 0}},
        {"only seven scan-code bits", 0x41, 0x009D0001, {0, 0, 0, 0, 0}, {162, 0, 0, 0, 0}},
        {"low byte of the key code", 0x141, 0x001E0001, {0, 0, 0, 0, 0}, {0x41, 0, 0, 0, 0}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CaptureHotKey(r.keyCode, r.keyData, r.held), r.expected) << r.what;
}

} // namespace
