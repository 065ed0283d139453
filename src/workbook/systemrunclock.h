#pragma once

#include "runclock.h"

#include <cstdint>

// The real clock and a 64-bit generator. Re-seeding mixes the seed into the generator's state
// instead of replacing it: two seeds taken within the same tick still give different draws.
class SystemRunClock final : public RunClock {
public:
    SystemRunClock();
    // A fixed starting state, for checking the generator itself.
    explicit SystemRunClock(std::uint64_t state);

    QDate today() override;
    qint64 nsecsSinceMidnight() override;
    void randomize(qint64 seed) override;
    double rnd() override;

private:
    std::uint64_t next();

    std::uint64_t mState;
};
