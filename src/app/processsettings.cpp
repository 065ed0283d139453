#include "processsettings.h"

#include <csignal>
#include <malloc.h>

void applyProcessSettings()
{
    // An office that dies while a call to it is being sent would otherwise take the program
    // down with SIGPIPE; the call must fail and be reported instead.
    std::signal(SIGPIPE, SIG_IGN);
    // Each run passes pictures of several megabytes through; with a fixed threshold they are
    // mapped on their own and returned when freed, instead of staying in the heap after a run.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}
