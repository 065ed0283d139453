#pragma once

#include <QDate>
#include <QtGlobal>

// The generation run's one door to the calendar, the time of day and the random number
// generator, so tests can fix them.
class RunClock {
public:
    virtual ~RunClock() = default;

    virtual QDate today() = 0;
    // The time of day with its fraction of a second.
    virtual qint64 nsecsSinceMidnight() = 0;
    // Re-seeds the generator from a seed such as the time of day.
    virtual void randomize(qint64 seed) = 0;
    // A uniform number in [0, 1).
    virtual double rnd() = 0;

    static RunClock& current();
    // Installs a replacement (not owned); nullptr restores the system clock.
    static void install(RunClock* clock);
};
