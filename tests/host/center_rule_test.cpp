#include "ui/center_rule.h"

#include <gtest/gtest.h>

namespace {

TEST(CenterDialogPosition, CentresThenKeepsInsideTheWorkArea) {
    const Rect work{0, 0, 1280, 770};
    const Rect owner{100, 100, 500, 400};
    const Rect nearEdge{1100, 600, 1300, 800};
    const Rect negative{-5, -5, 0, 0};
    struct Row {
        Rect dialog;
        const Rect* centre;
        Rect workArea;
        Point expected;
    };
    const Row rows[] = {
        {{0, 0, 300, 200}, nullptr, work, {490, 285}},
        {{0, 0, 200, 100}, &owner, work, {200, 200}},
        {{0, 0, 1500, 900}, nullptr, work, {0, 0}}, // larger: left and top win
        {{0, 0, 300, 200}, &nearEdge, work, {980, 570}},
        {{0, 0, 300, 200}, nullptr, {-1920, -100, 0, 980}, {-1110, 340}},
        {{0, 0, 2, 2}, &negative, {-50, -50, 100, 100}, {-3, -3}}, // truncates toward zero
    };
    for (const Row& r : rows)
        EXPECT_EQ(CenterDialogPosition(r.dialog, r.centre, r.workArea), r.expected)
            << r.dialog.right << "x" << r.dialog.bottom;
}

} // namespace
