#include "controls/key_capture.h"

#include <gtest/gtest.h>

namespace {

// lParam values as Windows (and Wine) deliver them.
constexpr std::uint32_t kLCtrl = 0x001D0001;
constexpr std::uint32_t kRCtrl = 0x011D0001;
constexpr std::uint32_t kLShift = 0x002A0001;
constexpr std::uint32_t kRShift = 0x00360001;
constexpr std::uint32_t kLAlt = 0x20380001;
constexpr std::uint32_t kRAlt = 0x21380001;
constexpr std::uint32_t kLWin = 0x015B0001;
constexpr std::uint32_t kRWin = 0x015C0001;
constexpr std::uint32_t kKeyA = 0x001E0001;
constexpr std::uint32_t kF4 = 0x203E0001;
constexpr std::uint32_t kInsert = 0x01520001;

TEST(CaptureHotKey, Table) {
    struct Row {
        const char* what;
        std::uint32_t keyCode;
        std::uint32_t keyData;
        KeyDownState down;       // ctrl, shift, alt, lwin, rwin
        CapturedHotKey expected; // vk, ctrl, shift, alt, win
    };
    const Row rows[] = {
        {"A with Ctrl and Alt",
         0x41,
         kKeyA,
         {true, false, true, false, false},
         {0x41, true, false, true, false}},
        {"left Ctrl alone",
         0x11,
         kLCtrl,
         {true, false, false, false, false},
         {162, false, false, false, false}},
        {"right Ctrl alone",
         0x11,
         kRCtrl,
         {true, false, false, false, false},
         {163, false, false, false, false}},
        {"left Shift alone",
         0x10,
         kLShift,
         {false, true, false, false, false},
         {160, false, false, false, false}},
        {"right Shift alone",
         0x10,
         kRShift,
         {false, true, false, false, false},
         {161, false, false, false, false}},
        {"left Alt alone",
         0x12,
         kLAlt,
         {false, false, true, false, false},
         {164, false, false, false, false}},
        {"right Alt with Ctrl",
         0x12,
         kRAlt,
         {true, false, true, false, false},
         {165, true, false, false, false}},
        {"left Shift with Ctrl",
         0x10,
         kLShift,
         {true, true, false, false, false},
         {160, true, false, false, false}},
        {"left Win alone",
         0x5B,
         kLWin,
         {false, false, false, true, false},
         {91, false, false, false, false}},
        {"right Win with Shift",
         0x5C,
         kRWin,
         {false, true, false, false, true},
         {92, false, true, false, false}},
        {"A with right Win held",
         0x41,
         kKeyA,
         {false, false, false, false, true},
         {0x41, false, false, false, true}},
        {"Alt+F4",
         0x73,
         kF4,
         {false, false, true, false, false},
         {0x73, false, false, true, false}},
        {"Shift+Insert",
         0x2D,
         kInsert,
         {false, true, false, false, false},
         {0x2D, false, true, false, false}},
        {"F13 with Ctrl",
         124,
         0x00640001,
         {true, false, false, false, false},
         {124, true, false, false, false}},
        {"Ctrl+Pause arrives as key 3",
         0x03,
         0x01460001,
         {true, false, false, false, false},
         {3, true, false, false, false}},
        // Synthesized input without scan code takes the general path.
        {"Shift without scan code",
         0x10,
         0x00000001,
         {false, true, false, false, false},
         {16, false, true, false, false}},
        {"Ctrl without scan code",
         0x11,
         0x00000001,
         {true, false, false, false, false},
         {17, true, false, false, false}},
        {"Alt without scan code",
         0x12,
         0x20000001,
         {false, false, true, false, false},
         {18, false, false, true, false}},
        // Only seven bits of the scan code count: 0x9D & 0x7F is the Ctrl scan code.
        {"scan code bit 7 is ignored",
         0x41,
         0x009D0001,
         {false, false, false, false, false},
         {162, false, false, false, false}},
        // Key code above 255 keeps its low eight bits.
        {"key code low byte",
         0x141,
         kKeyA,
         {false, false, false, false, false},
         {0x41, false, false, false, false}},
        // Auto-repeat (bit 30) and transition bits do not matter.
        {"auto-repeat of right Ctrl",
         0x11,
         0x411D0001,
         {true, false, false, false, false},
         {163, false, false, false, false}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const CapturedHotKey got = CaptureHotKey(r.keyCode, r.keyData, r.down);
        EXPECT_EQ(got.vk, r.expected.vk);
        EXPECT_EQ(got.ctrl, r.expected.ctrl);
        EXPECT_EQ(got.shift, r.expected.shift);
        EXPECT_EQ(got.alt, r.expected.alt);
        EXPECT_EQ(got.win, r.expected.win);
    }
}

} // namespace
