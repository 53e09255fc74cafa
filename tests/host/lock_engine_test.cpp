#include "ui/lock_engine.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace {

WindowHandle Wnd(std::uintptr_t n) {
    return reinterpret_cast<WindowHandle>(n);
}

// Windows with a screen origin and client size; records every platform call.
class FakePlatform : public LockPlatform {
public:
    struct Window {
        Point origin;
        std::int32_t width, height;
        bool toScreenFails = false;
    };
    std::map<WindowHandle, Window> windows;
    WindowHandle foreground = nullptr;
    std::string calls;
    std::vector<std::optional<Rect>> clips;

    WindowHandle GetForegroundWindow() override {
        calls += "F";
        return foreground;
    }
    bool GetClientRect(WindowHandle w, Rect& r) override {
        calls += "R";
        auto it = windows.find(w);
        if (it == windows.end())
            return false;
        r = Rect{0, 0, it->second.width, it->second.height};
        return true;
    }
    bool ClientToScreen(WindowHandle w, Point& p) override {
        calls += "S";
        auto it = windows.find(w);
        if (it == windows.end() || it->second.toScreenFails)
            return false;
        p = Point{p.x + it->second.origin.x, p.y + it->second.origin.y};
        return true;
    }
    void ClipCursor(const Rect* r) override {
        calls += r ? "C" : "0";
        clips.push_back(r ? std::optional<Rect>(*r) : std::nullopt);
    }
};

Settings Tuning(std::int32_t l, std::int32_t t, std::int32_t r, std::int32_t b) {
    Settings s;
    s.TuningLeft = l;
    s.TuningTop = t;
    s.TuningRight = r;
    s.TuningBottom = b;
    return s;
}

TEST(LockRectangle, ClientAreaWidenedByTheTuningsWrappingIn32Bits) {
    struct Row {
        Settings tuning;
        Rect expected;
    };
    const Row rows[] = {
        {Tuning(0, 0, 0, 0), {100, 200, 900, 800}},
        {Tuning(10, 0, -20, 5), {90, 200, 880, 805}},
        {Tuning(-900, -700, -900, -700), {1000, 900, 0, 100}},
        {Tuning(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX),
         {INT32_MIN + 100, INT32_MIN + 200, INT32_MIN + 899, INT32_MIN + 799}},
    };
    for (const Row& r : rows) {
        FakePlatform p;
        p.windows[Wnd(7)] = {{100, 200}, 800, 600};
        p.foreground = Wnd(7);
        LockState state;
        LockOnHotKey(state, 0, r.tuning, p);
        ASSERT_EQ(p.clips.size(), 1u);
        EXPECT_EQ(p.clips[0], r.expected) << "left tuning " << r.tuning.TuningLeft;
    }
}

TEST(LockToggle, LockFreeFailuresAndOtherIds) {
    struct Row {
        const char* what;
        std::uintptr_t id;
        WindowHandle foreground;
        bool toScreenFails;
        bool locked;
        std::string calls;
    };
    const Row rows[] = {
        {"locks", 0, Wnd(7), false, true, "FRSSC"},
        {"no foreground window", 0, nullptr, false, true, "FR"},
        {"client to screen fails", 0, Wnd(7), true, true, "FRS"},
        {"another hot key id", static_cast<std::uintptr_t>(-2), Wnd(7), false, false, ""},
    };
    for (const Row& r : rows) {
        FakePlatform p;
        p.windows[Wnd(7)] = {{0, 0}, 10, 10, r.toScreenFails};
        p.foreground = r.foreground;
        LockState state;
        LockOnHotKey(state, r.id, Settings{}, p);
        EXPECT_EQ(state.m_bLocked, r.locked) << r.what;
        EXPECT_EQ(p.calls, r.calls) << r.what;
    }
    FakePlatform p;
    p.foreground = Wnd(7);
    LockState state;
    LockOnHotKey(state, 0, Settings{}, p);
    p.calls.clear();
    LockOnHotKey(state, 0, Settings{}, p);
    EXPECT_FALSE(state.m_bLocked);
    EXPECT_EQ(state.m_hLockedWnd, Wnd(7));
    EXPECT_EQ(p.calls, "0");
}

TEST(LockFollow, TimerFollowsOnlyANewForegroundWindow) {
    FakePlatform p;
    p.windows[Wnd(7)] = {{100, 200}, 800, 600};
    p.windows[Wnd(8)] = {{-1920, 10}, 300, 200};
    p.foreground = Wnd(7);
    LockState state;
    const Settings s = Tuning(1, 2, 3, 4);
    LockOnTimer(state, 0, s, p);
    EXPECT_EQ(p.calls, ""); // unlocked: nothing
    LockOnHotKey(state, 0, s, p);
    p.windows[Wnd(7)].width = 50; // resizing the same window is not followed
    LockOnTimer(state, 0, s, p);
    LockOnTimer(state, 5, s, p);
    EXPECT_EQ(p.clips.size(), 1u);
    p.foreground = Wnd(8);
    LockOnTimer(state, 0, s, p);
    p.foreground = nullptr; // recorded, clip unchanged
    LockOnTimer(state, 0, s, p);
    EXPECT_EQ(state.m_hLockedWnd, nullptr);
    p.foreground = Wnd(7);
    LockOnTimer(state, 0, s, p);
    ASSERT_EQ(p.clips.size(), 3u);
    EXPECT_EQ(p.clips[1], (Rect{-1921, 8, -1617, 214}));
    EXPECT_EQ(p.clips[2], (Rect{99, 198, 153, 804}));
}

} // namespace
