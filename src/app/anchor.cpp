#include "anchor.h"

#include <cmath>

namespace {

int moved(int edge, int growth, double share)
{
    return edge + static_cast<int>(std::lround(growth * share));
}

} // namespace

QRect Anchor::place(const QRect& designed, const QSize& growth) const
{
    const int x1 = moved(designed.x(), growth.width(), left);
    const int y1 = moved(designed.y(), growth.height(), top);
    const int x2 = moved(designed.x() + designed.width(), growth.width(), right);
    const int y2 = moved(designed.y() + designed.height(), growth.height(), bottom);
    return QRect(x1, y1, qMax(0, x2 - x1), qMax(0, y2 - y1));
}
