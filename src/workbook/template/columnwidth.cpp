#include "columnwidth.h"

#include <cmath>

int columnWidthHundredthsMm(double characters)
{
    constexpr double digitPixels = 7;
    constexpr double paddingPixels = 5;
    constexpr double twipsPerCharacter = 111;
    const double units = std::trunc((characters * digitPixels + paddingPixels) / digitPixels * 256);
    return int(std::lround(units / 256 * twipsPerCharacter * 2540 / 1440));
}
