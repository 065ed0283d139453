#pragma once

// Where the panel scrolls when a field takes the focus (the field stands this far below the
// viewport's top edge) and when the wheel turns, within the scroll bar's range. All lengths in
// twips.
namespace ScrollRule {

constexpr int viewportOffset = 7000;

// In a viewport too short for the offset the field would stand below the bottom edge; the panel
// then scrolls just far enough to show the field whole.
constexpr int targetFor(int position, int maximum, int viewportHeight, int fieldHeight)
{
    int target = position - viewportOffset;
    if (position + fieldHeight > target + viewportHeight)
        target = position + fieldHeight - viewportHeight;
    if (target < 0)
        return 0;
    return target > maximum ? maximum : target;
}

// The distance between two rows of fields: one line of the wheel.
constexpr int rowPitch = 390;
// One notch of the wheel, in the eighths of a degree that wheel events count.
constexpr int notch = 120;

// Where a turn of the wheel takes the panel from `value`: `lines` rows per notch, down for a
// turn towards the user (a negative angle), within the scroll bar's range.
constexpr int wheelTarget(int value, int angle, int lines, int maximum)
{
    const int target = value - angle * lines * rowPitch / notch;
    if (target < 0)
        return 0;
    return target > maximum ? maximum : target;
}

} // namespace ScrollRule
