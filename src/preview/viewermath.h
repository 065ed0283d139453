#pragma once

#include <QtGlobal>

// The preview viewer's arithmetic, all in twips: zoom steps and limits, scroll-bar ranges,
// positions kept across a zoom, drag clamps and the hand-over of a dropped position to the
// scroll bars. The window only moves and paints what these functions decide.
namespace ViewerMath {

// The limits bound the zoomed picture's size, and with it the memory its drawing takes: a sheet
// picture up to 1750 × 1950 pixels (the program's own is 1305 × 1344) still fits at the largest
// zoom. Positions and bar values are 32-bit: at 2.25 a sheet picture overflows 16 bits.
constexpr qint32 widthLimit = 59100;
constexpr qint32 heightLimit = 65850;
constexpr float smallestZoom = 0.25f;
constexpr float largestZoom = 2.25f;
constexpr float zoomStep = 0.25f;
// A sheet row at natural size (17 pixels): what one arrow step scrolls.
constexpr qint32 rowTwips = 255;

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
    int maximum = 0;
    int singleStep = 1;
    int pageStep = 1;
};
// The range of a scroll bar for a picture in a viewport of the given inner length: one position
// per twip of overflow, an arrow step of about one sheet row, a page of about the viewport.
ScrollRange scrollRange(qint32 pictureLength, qint32 viewportInnerLength, float zoom);

// The picture's position for a scroll-bar value: one twip per bar position.
qint32 scrolledPosition(int value);

// Where the picture may stand: a picture that fits stays at the origin; a larger one never
// leaves empty space between its edges and the viewport's inner edges.
double clampPosition(double position, qint32 viewportInnerLength, qint32 pictureLength);

// The middle of what the viewport shows of the picture: the viewport's centre when the picture
// overflows it, the picture's own centre when it fits.
double visibleCentre(qint32 position, qint32 pictureLength, qint32 viewportInnerLength);

// The position that keeps the picture's point under the anchor (a place in the viewport) where
// it is when the picture's length changes; the point is taken on the picture, then clamped.
qint32 keptPosition(
    qint32 position, qint32 oldLength, qint32 newLength, qint32 viewportInnerLength, double anchor);

// The position that keeps the middle of what the viewport shows in its middle when the viewport's
// inner length changes, clamped so that a larger picture leaves no empty space.
qint32 resizedPosition(
    qint32 position, qint32 pictureLength, qint32 oldViewportLength, qint32 newViewportLength);

// The dropped position as a share of the picture's overflow of the viewport's inner length;
// 0 when there is no overflow.
double dropPercent(qint32 position, qint32 pictureLength, qint32 viewportInnerLength);

// The bar value for a percentage of its maximum; -1 when the bar is to stay as it is
// (a negative percentage, or a value beyond the maximum).
int barValueForPercent(double percent, int maximum);

} // namespace ViewerMath
