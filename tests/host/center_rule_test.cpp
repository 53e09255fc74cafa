#include "ui/center_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(CenterDialogPosition, Table) {
    const Rect work{0, 0, 1280, 770};
    const Rect owner{100, 100, 500, 400};
    const Rect hugeOwner{-3000, -3000, 3000, 3000};
    const Rect nearEdge{1100, 600, 1300, 800};
    const Rect negative{-5, -5, 0, 0};
    struct Row {
        const char* what;
        Rect dialog;
        const Rect* centre;
        Rect workArea;
        Point expected;
    };
    const Row rows[] = {
        {"centred in the work area", {0, 0, 300, 200}, nullptr, work, {490, 285}},
        {"odd sizes truncate", {0, 0, 301, 201}, nullptr, {0, 0, 1281, 771}, {490, 285}},
        {"centred over a window", {0, 0, 200, 100}, &owner, work, {200, 200}},
        {"wider than the work area: left edge wins", {0, 0, 1500, 200}, nullptr, work, {0, 285}},
        {"taller than the work area: top edge wins", {0, 0, 300, 900}, nullptr, work, {490, 0}},
        {"pulled in from the left and top", {0, 0, 300, 200}, &hugeOwner, {0, 0, 200, 100}, {0, 0}},
        {"centre near the right edge", {0, 0, 300, 200}, &nearEdge, work, {980, 570}},
        {"monitor with negative coordinates",
         {0, 0, 300, 200},
         nullptr,
         {-1920, -100, 0, 980},
         {-1110, 340}},
        {"negative centre rounds toward zero",
         {0, 0, 2, 2},
         &negative,
         {-50, -50, 100, 100},
         {-3, -3}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const Point p = CenterDialogPosition(r.dialog, r.centre, r.workArea);
        EXPECT_EQ(p.x, r.expected.x);
        EXPECT_EQ(p.y, r.expected.y);
    }
}

} // namespace
