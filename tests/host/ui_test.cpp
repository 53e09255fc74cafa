// The platform-free rules of the lock and of dialog placement.
#include "ui/lock_engine.h"
#include "ui/center_rule.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

namespace {

WindowHandle Wnd(std::uintptr_t n) {
    return reinterpret_cast<WindowHandle>(n);
}

const Rect kScreen{-1920, 0, 1920, 1080};

// Windows with a screen origin, client size, visibility and DPI, and the clip in force. Logs
// every call as one letter (Foreground, Visible, client Rect, to Screen, Dpi, Move loop, Get
// clip), and every clip as [l,t,r,b] or [free].
struct FakePlatform : LockPlatform {
    struct Window {
        std::int32_t x, y, width, height;
        bool visible = true;
        std::uint32_t dpi = 96;
        bool toScreenFails = false;
        bool dragged = false;
    };
    std::map<WindowHandle, Window> windows;
    WindowHandle foreground = nullptr;
    Rect clip = kScreen;
    std::string calls;

    WindowHandle GetForegroundWindow() override { return calls += "F", foreground; }
    bool IsWindowVisible(WindowHandle w) override {
        return calls += "V", windows.count(w) && windows[w].visible;
    }
    bool GetClientRect(WindowHandle w, Rect& r) override {
        r = Rect{0, 0, windows[w].width, windows[w].height};
        return calls += "R", w != nullptr;
    }
    bool ClientToScreen(WindowHandle w, Point& p) override {
        p = Point{p.x + windows[w].x, p.y + windows[w].y};
        return calls += "S", !windows[w].toScreenFails;
    }
    std::uint32_t GetWindowDpi(WindowHandle w) override { return calls += "D", windows[w].dpi; }
    bool IsInMoveSize(WindowHandle w) override { return calls += "M", windows[w].dragged; }
    bool GetClipCursor(Rect& r) override { return calls += "G", r = clip, true; }
    void ClipCursor(const Rect* r) override {
        clip = r ? *r : kScreen;
        calls += r ? "[" + std::to_string(r->left) + "," + std::to_string(r->top) + "," +
                         std::to_string(r->right) + "," + std::to_string(r->bottom) + "]"
                   : "[free]";
    }
};

// Each rectangle is applied at the lock; once the cursor is freed, the next tick applies it
// again unless it is inverted.
TEST(LockRectangle, ClientAreaWidenedByTuningsScaledToTheDisplayAndHeldUnlessInverted) {
    const std::tuple<Settings, std::uint32_t, std::string, bool> rows[] = {
        {{0, 0, -900, 0, -900, 0}, 96, "[1000,200,0,800]", false}, // inverted across
        {{0, 0, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},       // wraps around
         96,
         "[-2147483548,-2147483448,-2147482749,-2147482849]",
         true},
        // 150%: 15, 0, -30, 7.5; halves round away from zero.
        {{0, 0, 10, 0, -20, 5}, 144, "[85,200,870,808]", true},
        {{0, 0, 0, -1, -3, 3}, 120, "[100,201,896,804]", true},
        {{0, 0, INT32_MIN, 0, INT32_MAX, 0}, 192, "[100,200,898,800]", true},
    };
    for (const auto& [tuning, dpi, clip, again] : rows) {
        FakePlatform p;
        p.windows[Wnd(7)] = {100, 200, 800, 600, true, dpi};
        p.foreground = Wnd(7);
        LockState state;
        LockOnHotKey(state, 0, tuning, p);
        p.clip = kScreen;
        LockOnTimer(state, 0, tuning, p);
        EXPECT_EQ(p.calls, "FVRSSD" + clip + "FVRSSD" + (again ? "GM" + clip : ""))
            << "left tuning " << tuning.TuningLeft << " at " << dpi << " DPI";
    }
}

// One session: each step puts a window in front (0: none), then H presses the hot key, T
// ticks the follow timer, h and t come with another id, C cleans up. The other letters change
// the clip in force or the window in front, then tick: f frees the cursor, g clips it inside
// the window and p across its edge, m moves the window, s scales its display, d drags it.
TEST(LockSession, TogglesFollowsAndHoldsVisibleForegroundWindowsAndFreesTheCursorOnce) {
    FakePlatform p;
    p.windows[Wnd(7)] = {100, 200, 800, 600};
    p.windows[Wnd(8)] = {-1920, 10, 300, 200};
    p.windows[Wnd(9)] = {500, 300, 200, 100, false}; // hidden, like our own dialog
    p.windows[Wnd(6)] = {0, 0, 10, 10, true, 96, true};
    const std::string at7 = "FVRSSD[99,198,903,804]";
    const std::tuple<char, std::uintptr_t, std::string> steps[] = {
        {'T', 7, ""}, // unlocked: nothing
        {'h', 7, ""},
        {'H', 0, "FR"}, // locked, on no window
        {'H', 0, "[free]"},
        {'H', 9, "FVR"}, // locked, on no window
        {'T', 9, "FVR"},
        {'T', 7, at7},
        {'t', 8, ""},
        {'T', 7, "FVRSSDG"}, // the same window, its clip in force: not clipped again
        {'T', 8, "FVRSSD[-1921,8,-1617,214]"},
        {'T', 0, "FR"}, // recorded, clip unchanged
        {'T', 7, at7},
        {'T', 9, "FVR"},
        {'T', 7, at7}, // after a hidden one, the same window is clipped again
        {'H', 7, "[free]"},
        {'H', 7, at7},
        {'f', 7, "FVRSSDGM[99,198,903,804]"},
        {'g', 7, "FVRSSDG"}, // the application's own tighter clip is kept
        {'p', 7, "FVRSSDGM[99,198,903,804]"},
        {'m', 7, "FVRSSDM[109,198,913,804]"},
        {'s', 7, "FVRSSDM[108,196,916,808]"},
        {'d', 7, "FVRSSDM"}, // the system confines the cursor while the user drags
        {'T', 6, "FVRS"},
        {'f', 6, "FVRS"}, // its rectangle still cannot be had
        {'C', 7, "[free]"},
        {'C', 7, ""},
        {'T', 8, ""}, // the clean-up turned the lock off
    };
    LockState state;
    const Settings s{0, 0, 1, 2, 3, 4};
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& [act, front, calls] = steps[i];
        p.calls.clear();
        p.foreground = Wnd(front);
        switch (act) {
        case 'f':
            p.clip = kScreen;
            break;
        case 'g':
            p.clip = {200, 300, 400, 500};
            break;
        case 'p':
            p.clip = {50, 300, 400, 500};
            break;
        case 'm':
            p.windows[Wnd(front)].x += 10;
            break;
        case 's':
            p.windows[Wnd(front)].dpi = 192;
            break;
        case 'd':
            p.windows[Wnd(front)].x += 10, p.windows[Wnd(front)].dragged = true;
            break;
        }
        if (act == 'C')
            LockOnCleanUp(state, p);
        else if (act == 'H' || act == 'h')
            LockOnHotKey(state, act == 'H' ? 0 : 5, s, p);
        else
            LockOnTimer(state, act == 't' ? 5 : 0, s, p);
        EXPECT_EQ(p.calls, calls) << "step " << i + 1 << ": " << act << " on window " << front;
    }
}

TEST(CenterDialogPosition, CentresThenKeepsInsideTheWorkArea) {
    const Rect work{0, 0, 1280, 770};
    const Rect owner{100, 100, 500, 400};
    const Rect nearEdge{1100, 600, 1300, 800};
    const Rect negative{-5, -5, 0, 0};
    const std::tuple<Rect, const Rect*, Rect, Point> rows[] = {
        {{0, 0, 300, 200}, nullptr, work, {490, 285}},
        {{0, 0, 200, 100}, &owner, work, {200, 200}},
        {{0, 0, 1500, 900}, nullptr, work, {0, 0}}, // larger: left and top win
        {{0, 0, 300, 200}, &nearEdge, work, {980, 570}},
        {{0, 0, 300, 200}, nullptr, {-1920, -100, 0, 980}, {-1110, 340}},
        {{0, 0, 2, 2}, &negative, {-50, -50, 100, 100}, {-3, -3}}, // truncates toward zero
    };
    for (const auto& [dialog, centre, workArea, expected] : rows)
        EXPECT_EQ(CenterDialogPosition(dialog, centre, workArea), expected)
            << dialog.right << "x" << dialog.bottom;
}

} // namespace
