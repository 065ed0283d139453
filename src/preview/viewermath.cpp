#include "viewermath.h"

#include <cmath>
#include <cstdlib>

namespace ViewerMath {

double roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    if (fraction > 0.5)
        return lower + 1.0;
    if (fraction < 0.5)
        return lower;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}

qint32 originalLength(double innerLength)
{
    return static_cast<qint32>(roundHalfEven(innerLength - 2.0));
}

qint32 zoomedLength(qint32 originalLength, float zoom)
{
    return static_cast<qint32>(std::floor(static_cast<double>(originalLength) * zoom));
}

bool fitsLimits(qint32 zoomedWidth, qint32 zoomedHeight)
{
    return zoomedWidth < widthLimit && zoomedHeight < heightLimit;
}

float nextZoom(float zoom, qint32 direction)
{
    return direction == 0 ? zoom + zoomStep : zoom - zoomStep;
}

bool acceptsZoom(float zoom)
{
    return zoom >= smallestZoom && zoom <= largestZoom;
}

ScrollRange scrollRange(qint32 pictureLength, qint32 viewportInnerLength, float zoom)
{
    const qint32 overflow = pictureLength - viewportInnerLength;
    if (overflow <= 0)
        return {};
    const int row = static_cast<int>(roundHalfEven(rowTwips * static_cast<double>(zoom)));
    return { true, overflow, qMax(1, row), qMax(1, viewportInnerLength) };
}

qint32 scrolledPosition(int value)
{
    return -value;
}

double clampPosition(double position, qint32 viewportInnerLength, qint32 pictureLength)
{
    const double farthest = static_cast<double>(viewportInnerLength) - pictureLength;
    if (farthest >= 0 || position > 0)
        return 0;
    return position < farthest ? farthest : position;
}

double visibleCentre(qint32 position, qint32 pictureLength, qint32 viewportInnerLength)
{
    const double first = qMax<double>(0, position);
    const double last
        = qMin<double>(viewportInnerLength, static_cast<double>(position) + pictureLength);
    return last > first ? (first + last) / 2 : viewportInnerLength / 2.0;
}

qint32 keptPosition(
    qint32 position, qint32 oldLength, qint32 newLength, qint32 viewportInnerLength, double anchor)
{
    double share = oldLength > 0 ? (anchor - position) / oldLength : 0.0;
    share = qBound(0.0, share, 1.0);
    const double moved = clampPosition(anchor - share * newLength, viewportInnerLength, newLength);
    return static_cast<qint32>(roundHalfEven(moved));
}

qint32 resizedPosition(
    qint32 position, qint32 pictureLength, qint32 oldViewportLength, qint32 newViewportLength)
{
    const double onPicture = visibleCentre(position, pictureLength, oldViewportLength) - position;
    const double moved
        = clampPosition(newViewportLength / 2.0 - onPicture, newViewportLength, pictureLength);
    return static_cast<qint32>(roundHalfEven(moved));
}

double dropPercent(qint32 position, qint32 pictureLength, qint32 viewportInnerLength)
{
    const qint32 overflow = pictureLength - viewportInnerLength;
    if (overflow <= 0)
        return 0;
    return std::abs(static_cast<double>(position)) / overflow * 100.0;
}

int barValueForPercent(double percent, int maximum)
{
    if (percent < 0)
        return -1;
    const double value = roundHalfEven(percent / 100.0 * maximum);
    if (value > maximum)
        return -1;
    return static_cast<int>(value);
}

} // namespace ViewerMath
