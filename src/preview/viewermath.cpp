#include "viewermath.h"

#include "app/apperror.h"

#include <cmath>
#include <cstdlib>
#include <limits>

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

ScrollRange scrollRange(qint32 pictureLength, qint32 viewportOuterLength)
{
    const qint32 overflow = pictureLength - viewportOuterLength;
    if (overflow <= 0)
        return {};
    if (overflow <= 100)
        return { true, overflow, 1 };
    return { true, static_cast<int>(roundHalfEven(overflow / 10.0)), 10 };
}

qint16 scrolledPosition(qint16 step, int value)
{
    // The bars and steps are 16-bit quantities; an overflowing product wraps.
    const auto value16 = static_cast<qint16>(value);
    const auto product = static_cast<qint16>(static_cast<int>(step) * value16);
    return static_cast<qint16>(-static_cast<int>(product));
}

double clampDragPosition(double position, qint32 viewportInnerLength, qint32 pictureLength)
{
    if (position > 0)
        return 0;
    const double farthest = static_cast<double>(viewportInnerLength) - pictureLength;
    return farthest > position ? farthest : position;
}

qint16 dropPercent(qint32 position, qint32 pictureLength, qint32 viewportOuterLength)
{
    const qint32 overflow = pictureLength - viewportOuterLength;
    if (overflow == 0)
        return 0;
    const double percent
        = roundHalfEven(std::abs(static_cast<double>(position)) / overflow * 100.0);
    if (percent < std::numeric_limits<qint16>::min()
        || percent > std::numeric_limits<qint16>::max())
        throw AppError(QStringLiteral("Overflow"));
    return static_cast<qint16>(percent);
}

int barValueForPercent(qint16 percent, int maximum)
{
    if (percent < 0)
        return -1;
    const double value = percent / 100.0 * maximum;
    if (value > maximum)
        return -1;
    return static_cast<int>(roundHalfEven(value));
}

} // namespace ViewerMath
