#include "systemrunclock.h"

#include <QTime>

#include <chrono>
#include <random>

namespace {

// splitmix64 finaliser: every input bit reaches every output bit.
std::uint64_t mix(std::uint64_t value)
{
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
    return value ^ (value >> 31);
}

} // namespace

SystemRunClock::SystemRunClock()
    : mState((std::uint64_t(std::random_device {}()) << 32) ^ std::random_device {}())
{
}

SystemRunClock::SystemRunClock(std::uint64_t state)
    : mState(state)
{
}

QDate SystemRunClock::today()
{
    return QDate::currentDate();
}

qint64 SystemRunClock::nsecsSinceMidnight()
{
    // QTime stops at milliseconds; the system clock supplies the rest of the fraction.
    const qint64 msecs = QTime::currentTime().msecsSinceStartOfDay();
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const qint64 subMillisecond
        = std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() % 1000000;
    return msecs * 1000000 + subMillisecond;
}

void SystemRunClock::randomize(qint64 seed)
{
    mState = mix(mState ^ mix(std::uint64_t(seed)));
}

double SystemRunClock::rnd()
{
    // The top 53 bits fill a double's mantissa exactly, so the result stays below 1.
    return double(next() >> 11) * 0x1.0p-53;
}

std::uint64_t SystemRunClock::next()
{
    mState += 0x9e3779b97f4a7c15ULL;
    return mix(mState);
}
