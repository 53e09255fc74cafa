#include "ui/center_rule.h"

Point CenterDialogPosition(const Rect& dialog, const Rect* centre, const Rect& workArea) {
    const std::int32_t w = dialog.right - dialog.left;
    const std::int32_t h = dialog.bottom - dialog.top;
    const Rect& q = centre ? *centre : workArea;
    // Sums in 64 bits: screen coordinates are far from the limits, but never overflow.
    std::int64_t x = (static_cast<std::int64_t>(q.left) + q.right) / 2 - w / 2;
    std::int64_t y = (static_cast<std::int64_t>(q.top) + q.bottom) / 2 - h / 2;
    if (x + w > workArea.right)
        x = static_cast<std::int64_t>(workArea.right) - w;
    if (x < workArea.left)
        x = workArea.left;
    if (y + h > workArea.bottom)
        y = static_cast<std::int64_t>(workArea.bottom) - h;
    if (y < workArea.top)
        y = workArea.top;
    return Point{static_cast<std::int32_t>(x), static_cast<std::int32_t>(y)};
}
