#include "officekiller.h"

#include "runharness.h"

#include <csignal>

namespace OfficeKiller {

namespace {

int killAndWait(const QList<qint64>& offices)
{
    for (const qint64 pid : offices)
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    for (const qint64 pid : offices) {
        if (!Reliability::waitUntilDead(pid, 10000))
            qWarning("the office %lld outlived SIGKILL", pid);
    }
    return int(offices.size());
}

} // namespace

int killOfficeChildren()
{
    return killAndWait(Reliability::officeChildren());
}

int killNewestOfficeChild()
{
    const QList<qint64> offices = Reliability::officeChildren();
    if (offices.size() < 2)
        return 0;
    qint64 newest = offices.first();
    for (const qint64 pid : offices) {
        if (Reliability::startTime(pid) > Reliability::startTime(newest))
            newest = pid;
    }
    return killAndWait({ newest });
}

} // namespace OfficeKiller

KillingClock::KillingClock(At at)
    : mSystem(RunClock::current())
    , mAt(at)
{
    RunClock::install(this);
}

KillingClock::~KillingClock()
{
    RunClock::install(nullptr);
}

void KillingClock::killAt(At at)
{
    if (at == mAt && killed == 0)
        killed = OfficeKiller::killOfficeChildren();
}

QDate KillingClock::today()
{
    killAt(At::Today);
    if (mAt == At::TodayNewest && killed == 0)
        killed = OfficeKiller::killNewestOfficeChild();
    return mSystem.today();
}

qint64 KillingClock::nsecsSinceMidnight()
{
    return mSystem.nsecsSinceMidnight();
}

void KillingClock::randomize(qint64 seed)
{
    killAt(At::Digit);
    mSystem.randomize(seed);
}

double KillingClock::rnd()
{
    return mSystem.rnd();
}

KillingClipboard::KillingClipboard()
    : mSystem(ClipboardPictureSource::current())
{
    ClipboardPictureSource::install(this);
}

KillingClipboard::~KillingClipboard()
{
    ClipboardPictureSource::install(nullptr);
}

QImage KillingClipboard::read(int format)
{
    if (killed == 0)
        killed = OfficeKiller::killOfficeChildren();
    return mSystem.read(format);
}
