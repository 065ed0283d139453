#pragma once

#include <QString>

class RunClock;

// Result workbooks are named "varnok" and eight digits 1 to 9.
namespace ResultName {

inline const QString prefix = QStringLiteral("varnok");
constexpr int digitCount = 8;

// The eight digits: one draw per digit, the generator re-seeded from the time of day before
// each.
QString drawDigits(RunClock& clock);

} // namespace ResultName
