#pragma once

// Where the panel scrolls when a field takes the focus: the field stands this far below the
// viewport's top edge, within the scroll bar's range. All lengths in twips.
namespace ScrollRule {

constexpr int viewportOffset = 7000;

constexpr int targetFor(int position, int maximum)
{
    const int target = position - viewportOffset;
    if (target < 0)
        return 0;
    return target > maximum ? maximum : target;
}

} // namespace ScrollRule
