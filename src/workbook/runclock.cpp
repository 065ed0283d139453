#include "runclock.h"

#include "systemrunclock.h"

namespace {

RunClock* installed = nullptr;

} // namespace

RunClock& RunClock::current()
{
    static SystemRunClock system;
    return installed ? *installed : system;
}

void RunClock::install(RunClock* clock)
{
    installed = clock;
}
