#pragma once

#include <QtGlobal>

// The preview viewer's arithmetic, all in twips: zoom steps and limits, scroll-bar ranges,
// drag clamps and the hand-over of a dropped position to the scroll bars. The window only moves
// and paints what these functions decide.
namespace ViewerMath {

// A zoomed picture must stay below these sizes, or it is not repainted.
constexpr qint32 widthLimit = 19000;
constexpr qint32 heightLimit = 22000;
constexpr float smallestZoom = 0.25f;
constexpr float largestZoom = 2.25f;
constexpr float zoomStep = 0.25f;

// Nearest integer, halves to the even neighbour.
double roundHalfEven(double value);

// The unzoomed length taken from the master copy's inner length.
qint32 originalLength(double innerLength);
// Length at a zoom factor, rounded down.
qint32 zoomedLength(qint32 originalLength, float zoom);
bool fitsLimits(qint32 zoomedWidth, qint32 zoomedHeight);

// Direction 0 zooms in, any other value zooms out.
float nextZoom(float zoom, qint32 direction);
bool acceptsZoom(float zoom);

struct ScrollRange {
    bool enabled = false;
    // Only meaningful when enabled: a disabled bar keeps the maximum it had.
    int maximum = 0;
    qint16 step = 0;
};
// The range of a scroll bar for a picture overflowing the viewport's outer length.
ScrollRange scrollRange(qint32 pictureLength, qint32 viewportOuterLength);

// The picture's position for a scroll-bar value, formed in 16-bit arithmetic like the bars
// themselves: products beyond 16 bits wrap.
qint16 scrolledPosition(qint16 step, int value);

// Where a dragged picture may go: never right of (or below) the viewport's origin, and never so
// far that its far edge leaves the viewport's inner edge.
double clampDragPosition(double position, qint32 viewportInnerLength, qint32 pictureLength);

// The dropped position as a share of the picture's overflow of the viewport's outer length.
// A picture exactly as long as the viewport has no overflow: that share is 0. Throws AppError
// when the share does not fit in 16 bits.
qint16 dropPercent(qint32 position, qint32 pictureLength, qint32 viewportOuterLength);

// The bar value for a percentage of its maximum; -1 when the bar is to stay as it is
// (a negative percentage, or a value beyond the maximum).
int barValueForPercent(qint16 percent, int maximum);

} // namespace ViewerMath
