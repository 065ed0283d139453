#pragma once

#include <QRect>
#include <QSize>

// How a control follows its parent's growth: each edge moves by a share of the growth, 0 keeping
// its designed place, 1 following the far side. A control keeps its designed rectangle at the
// designed size; a table of rectangles with their anchors is a window's whole layout.
struct Anchor {
    double left = 0;
    double top = 0;
    double right = 0;
    double bottom = 0;

    // The designed rectangle in a parent grown (or shrunk) by growth, all in twips.
    QRect place(const QRect& designed, const QSize& growth) const;
};

// A control's designed rectangle in twips and the way it follows its parent.
struct Placement {
    QRect twips;
    Anchor anchor;

    QRect at(const QSize& growth) const { return anchor.place(twips, growth); }
};

namespace Anchors {

constexpr Anchor topLeft { 0, 0, 0, 0 };
// Keeps its size and stays in the middle of the width.
constexpr Anchor centredAtTop { 0.5, 0, 0.5, 0 };
// Stays in the middle of the width and takes the added height.
constexpr Anchor centredTaller { 0.5, 0, 0.5, 1 };
constexpr Anchor taller { 0, 0, 0, 1 };
constexpr Anchor stretched { 0, 0, 1, 1 };
constexpr Anchor rightTaller { 1, 0, 1, 1 };
constexpr Anchor bottomWider { 0, 1, 1, 1 };
// Two controls side by side at the bottom, sharing the added width.
constexpr Anchor bottomLeftHalf { 0, 1, 0.5, 1 };
constexpr Anchor bottomRightHalf { 0.5, 1, 1, 1 };
constexpr Anchor leftHalf { 0, 0, 0.5, 0 };
constexpr Anchor rightHalf { 0.5, 0, 1, 0 };
constexpr Anchor topRight { 1, 0, 1, 0 };

} // namespace Anchors
