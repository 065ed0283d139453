#pragma once

// Where the panel scrolls when a field takes the focus: the field stands this far below the
// viewport's top edge, within the scroll bar's range. All lengths in twips.
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

} // namespace ScrollRule
