#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

// Geometry is designed in twips; this is the one place where it becomes logical pixels.
namespace Twips {

constexpr int perPixel = 15;

constexpr int toPixels(int twips)
{
    // Round half away from zero so negative positions mirror positive ones.
    return twips >= 0 ? (twips + perPixel / 2) / perPixel : -((-twips + perPixel / 2) / perPixel);
}
constexpr int fromPixels(int pixels)
{
    return pixels * perPixel;
}

inline QRect toPixels(int left, int top, int width, int height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}
inline QSize toPixels(QSize twips)
{
    return QSize(toPixels(twips.width()), toPixels(twips.height()));
}
inline QSize fromPixels(QSize pixels)
{
    return QSize(fromPixels(pixels.width()), fromPixels(pixels.height()));
}
inline QPoint toPixels(QPoint twips)
{
    return QPoint(toPixels(twips.x()), toPixels(twips.y()));
}

} // namespace Twips
