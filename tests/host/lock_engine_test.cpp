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

// Windows with a screen origin, client size, visibility and DPI; records every call as one
// letter: Foreground, Visible, client Rect, to Screen, Dpi, Clip, 0 = free.
struct FakePlatform : LockPlatform {
    struct Window {
        Point origin;
        std::int32_t width, height;
        bool visible = true;
        std::uint32_t dpi = 96;
        bool toScreenFails = false;
    };
    std::map<WindowHandle, Window> windows;
    WindowHandle foreground = nullptr;
    std::string calls;
    std::vector<std::optional<Rect>> clips;

    WindowHandle GetForegroundWindow() override { return calls += "F", foreground; }
    bool IsWindowVisible(WindowHandle w) override {
        return calls += "V", windows.count(w) && windows[w].visible;
    }
    bool GetClientRect(WindowHandle w, Rect& r) override {
        calls += "R";
        r = Rect{0, 0, windows[w].width, windows[w].height};
        return w != nullptr;
    }
    bool ClientToScreen(WindowHandle w, Point& p) override {
        calls += "S";
        p = Point{p.x + windows[w].origin.x, p.y + windows[w].origin.y};
        return !windows[w].toScreenFails;
    }
    std::uint32_t GetWindowDpi(WindowHandle w) override { return calls += "D", windows[w].dpi; }
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

TEST(LockRectangle, ClientAreaWidenedByTuningsScaledToTheWindowsDpi) {
    struct Row {
        Settings tuning;
        std::uint32_t dpi;
        Rect expected;
    };
    const Row rows[] = {
        {Tuning(0, 0, 0, 0), 96, {100, 200, 900, 800}},
        {Tuning(10, 0, -20, 5), 96, {90, 200, 880, 805}},
        {Tuning(-900, -700, -900, -700), 96, {1000, 900, 0, 100}},
        {Tuning(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX),
         96,
         {INT32_MIN + 100, INT32_MIN + 200, INT32_MIN + 899, INT32_MIN + 799}},
        // 150%: 15, 0, -30, 7.5; halves round away from zero.
        {Tuning(10, 0, -20, 5), 144, {85, 200, 870, 808}},
        {Tuning(1, -1, -3, 3), 120, {99, 201, 896, 804}},
        {Tuning(INT32_MIN, 0, INT32_MAX, 0), 192, {100, 200, 898, 800}},
    };
    for (const Row& r : rows) {
        FakePlatform p;
        p.windows[Wnd(7)] = {{100, 200}, 800, 600, true, r.dpi};
        p.foreground = Wnd(7);
        LockState state;
        LockOnHotKey(state, 0, r.tuning, p);
        ASSERT_EQ(p.clips.size(), 1u);
        EXPECT_EQ(p.clips[0], r.expected)
            << "left tuning " << r.tuning.TuningLeft << " at " << r.dpi << " DPI";
    }
}

TEST(LockToggle, LockFreeFailuresHiddenTargetsAndOtherIds) {
    struct Row {
        const char* what;
        std::uintptr_t id;
        WindowHandle foreground;
        bool visible, toScreenFails;
        bool locked;
        WindowHandle target;
        std::string calls;
    };
    const Row rows[] = {
        {"locks", 0, Wnd(7), true, false, true, Wnd(7), "FVRSSDC"},
        {"no foreground window", 0, nullptr, true, false, true, nullptr, "FR"},
        {"invisible foreground window", 0, Wnd(7), false, false, true, nullptr, "FVR"},
        {"client to screen fails", 0, Wnd(7), true, true, true, Wnd(7), "FVRS"},
        {"another hot key id", static_cast<std::uintptr_t>(-2), Wnd(7), true, false, false, nullptr,
         ""},
    };
    for (const Row& r : rows) {
        FakePlatform p;
        p.windows[Wnd(7)] = {{0, 0}, 10, 10, r.visible, 96, r.toScreenFails};
        p.foreground = r.foreground;
        LockState state;
        LockOnHotKey(state, r.id, Settings{}, p);
        EXPECT_EQ(state.m_bLocked, r.locked) << r.what;
        EXPECT_EQ(state.m_hLockedWnd, r.target) << r.what;
        EXPECT_EQ(p.calls, r.calls) << r.what;
    }
    FakePlatform p;
    p.windows[Wnd(7)] = {{0, 0}, 10, 10};
    p.foreground = Wnd(7);
    LockState state;
    LockOnHotKey(state, 0, Settings{}, p);
    p.calls.clear();
    LockOnHotKey(state, 0, Settings{}, p);
    EXPECT_FALSE(state.m_bLocked);
    EXPECT_EQ(state.m_hLockedWnd, Wnd(7));
    EXPECT_EQ(p.calls, "0");
}

TEST(LockFollow, TimerFollowsANewVisibleForegroundWindowAndComesBack) {
    FakePlatform p;
    p.windows[Wnd(7)] = {{100, 200}, 800, 600};
    p.windows[Wnd(8)] = {{-1920, 10}, 300, 200};
    p.windows[Wnd(9)] = {{500, 300}, 200, 100, false}; // hidden, like our own dialog
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
    p.foreground = Wnd(9); // never clipped to; the target becomes none
    LockOnTimer(state, 0, s, p);
    EXPECT_EQ(state.m_hLockedWnd, nullptr);
    p.foreground = Wnd(7); // the same window as before is clipped again
    LockOnTimer(state, 0, s, p);
    ASSERT_EQ(p.clips.size(), 4u);
    EXPECT_EQ(p.clips[1], (Rect{-1921, 8, -1617, 214}));
    EXPECT_EQ(p.clips[2], (Rect{99, 198, 153, 804}));
    EXPECT_EQ(p.clips[3], p.clips[2]);
}

TEST(LockCleanUp, FreesTheCursorOnlyWhenLocked) {
    FakePlatform p;
    p.foreground = Wnd(7);
    LockState state;
    LockOnCleanUp(state, p);
    EXPECT_EQ(p.calls, "");
    LockOnHotKey(state, 0, Settings{}, p);
    p.calls.clear();
    LockOnCleanUp(state, p);
    LockOnCleanUp(state, p); // twice is harmless
    EXPECT_EQ(p.calls, "0");
    EXPECT_FALSE(state.m_bLocked);
}

} // namespace
