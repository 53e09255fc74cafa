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

// Windows with a client size and a screen origin; records every platform call.
class FakePlatform : public LockPlatform {
public:
    struct Window {
        Point origin;
        std::int32_t width;
        std::int32_t height;
        bool clientToScreenFails = false;
    };
    std::map<WindowHandle, Window> windows;
    WindowHandle foreground = nullptr;
    std::vector<std::string> calls;
    std::vector<std::optional<Rect>> clips;

    WindowHandle GetForegroundWindow() override {
        calls.push_back("foreground");
        return foreground;
    }
    bool GetClientRect(WindowHandle w, Rect& r) override {
        calls.push_back("client");
        auto it = windows.find(w);
        if (it == windows.end())
            return false;
        r = Rect{0, 0, it->second.width, it->second.height};
        return true;
    }
    bool ClientToScreen(WindowHandle w, Point& p) override {
        calls.push_back("toscreen");
        auto it = windows.find(w);
        if (it == windows.end() || it->second.clientToScreenFails)
            return false;
        p.x += it->second.origin.x;
        p.y += it->second.origin.y;
        return true;
    }
    void ClipCursor(const Rect* r) override {
        calls.push_back(r ? "clip" : "free");
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

TEST(LockRectangle, TuningArithmetic) {
    struct Row {
        const char* what;
        Settings tuning;
        Rect expected;
    };
    const Row rows[] = {
        {"no tuning is the client area", Tuning(0, 0, 0, 0), {100, 200, 900, 800}},
        {"worked example", Tuning(10, 0, -20, 5), {90, 200, 880, 805}},
        {"negative larger than the client area inverts",
         Tuning(-900, -700, -900, -700),
         {1000, 900, 0, 100}},
        {"wraps at the top of the range",
         Tuning(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX),
         {INT32_MIN + 100, INT32_MIN + 200, INT32_MIN + 899, INT32_MIN + 799}},
        {"wraps at the bottom of the range",
         Tuning(INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN),
         {INT32_MIN + 101, INT32_MIN + 201, INT32_MIN + 900, INT32_MIN + 800}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        FakePlatform p;
        p.windows[Wnd(7)] = {{100, 200}, 800, 600};
        p.foreground = Wnd(7);
        LockState state;
        LockOnHotKey(state, 0, r.tuning, p);
        ASSERT_EQ(p.clips.size(), 1u);
        ASSERT_TRUE(p.clips[0].has_value());
        EXPECT_EQ(p.clips[0]->left, r.expected.left);
        EXPECT_EQ(p.clips[0]->top, r.expected.top);
        EXPECT_EQ(p.clips[0]->right, r.expected.right);
        EXPECT_EQ(p.clips[0]->bottom, r.expected.bottom);
    }
}

TEST(LockToggle, TwoPressesLockThenFreeAndKeepTheWindow) {
    FakePlatform p;
    p.windows[Wnd(7)] = {{100, 200}, 800, 600};
    p.foreground = Wnd(7);
    LockState state;
    const Settings s;
    LockOnHotKey(state, 0, s, p);
    EXPECT_TRUE(state.m_bLocked);
    EXPECT_EQ(state.m_hLockedWnd, Wnd(7));
    EXPECT_EQ(p.calls,
              (std::vector<std::string>{"foreground", "client", "toscreen", "toscreen", "clip"}));
    p.calls.clear();
    LockOnHotKey(state, 0, s, p);
    EXPECT_FALSE(state.m_bLocked);
    EXPECT_EQ(state.m_hLockedWnd, Wnd(7));
    EXPECT_EQ(p.calls, (std::vector<std::string>{"free"}));
}

TEST(LockToggle, OtherIdsChangeNothing) {
    for (std::uintptr_t id : {std::uintptr_t{1}, static_cast<std::uintptr_t>(-1),
                              static_cast<std::uintptr_t>(-2), std::uintptr_t{0xBFFF}}) {
        FakePlatform p;
        p.foreground = Wnd(7);
        LockState state;
        LockOnHotKey(state, id, Settings{}, p);
        LockOnTimer(state, id, Settings{}, p);
        EXPECT_FALSE(state.m_bLocked);
        EXPECT_TRUE(p.calls.empty());
    }
}

TEST(LockToggle, FailuresLeaveTheClipButLock) {
    struct Row {
        const char* what;
        WindowHandle foreground;
        bool toScreenFails;
        std::vector<std::string> calls;
    };
    const Row rows[] = {
        {"no foreground window", nullptr, false, {"foreground", "client"}},
        {"destroyed window", Wnd(99), false, {"foreground", "client"}},
        {"client to screen fails", Wnd(7), true, {"foreground", "client", "toscreen"}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        FakePlatform p;
        p.windows[Wnd(7)] = {{0, 0}, 10, 10, r.toScreenFails};
        p.foreground = r.foreground;
        LockState state;
        LockOnHotKey(state, 0, Settings{}, p);
        EXPECT_TRUE(state.m_bLocked);
        EXPECT_EQ(state.m_hLockedWnd, r.foreground);
        EXPECT_EQ(p.calls, r.calls);
        EXPECT_TRUE(p.clips.empty());
    }
}

TEST(LockFollow, TimerTicks) {
    FakePlatform p;
    p.windows[Wnd(7)] = {{100, 200}, 800, 600};
    p.windows[Wnd(8)] = {{-1920, 10}, 300, 200};
    p.foreground = Wnd(7);
    LockState state;
    const Settings s = Tuning(1, 2, 3, 4);

    LockOnTimer(state, 0, s, p); // unlocked: a tick does nothing
    EXPECT_TRUE(p.calls.empty());

    LockOnHotKey(state, 0, s, p);
    p.calls.clear();
    LockOnTimer(state, 0, s, p); // same window, nothing recomputed
    EXPECT_EQ(p.calls, (std::vector<std::string>{"foreground"}));

    p.windows[Wnd(7)].width = 50; // resize of the same window is not followed
    LockOnTimer(state, 0, s, p);
    EXPECT_EQ(p.clips.size(), 1u);

    p.foreground = Wnd(8);
    LockOnTimer(state, 0, s, p);
    EXPECT_EQ(state.m_hLockedWnd, Wnd(8));
    ASSERT_EQ(p.clips.size(), 2u);
    EXPECT_EQ(*p.clips[1], (Rect{-1921, 8, -1617, 214}));

    p.foreground = nullptr; // no foreground: recorded, clip unchanged
    LockOnTimer(state, 0, s, p);
    EXPECT_EQ(state.m_hLockedWnd, nullptr);
    EXPECT_EQ(p.clips.size(), 2u);

    p.foreground = Wnd(7); // the next real window gets the clip
    LockOnTimer(state, 0, s, p);
    ASSERT_EQ(p.clips.size(), 3u);
    EXPECT_EQ(*p.clips[2], (Rect{99, 198, 153, 804}));

    LockOnTimer(state, 5, s, p); // another timer id
    EXPECT_EQ(p.clips.size(), 3u);
}

TEST(LockFollow, LockingWithNoForegroundThenATickFindsOne) {
    FakePlatform p;
    p.windows[Wnd(7)] = {{10, 20}, 30, 40};
    LockState state;
    LockOnHotKey(state, 0, Settings{}, p);
    EXPECT_TRUE(p.clips.empty());
    p.foreground = Wnd(7);
    LockOnTimer(state, 0, Settings{}, p);
    ASSERT_EQ(p.clips.size(), 1u);
    EXPECT_EQ(*p.clips[0], (Rect{10, 20, 40, 60}));
}

} // namespace
