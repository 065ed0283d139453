#include "resultname.h"

#include "runclock.h"

#include <QtGlobal>

namespace ResultName {

QString drawDigits(RunClock& clock)
{
    QString digits;
    for (int digit = 0; digit < digitCount; ++digit) {
        clock.randomize(clock.nsecsSinceMidnight());
        // qBound guards against a generator that returns exactly 1.
        const int value = qBound(1, int(clock.rnd() * 9) + 1, 9);
        digits += QString::number(value);
    }
    return digits;
}

} // namespace ResultName
