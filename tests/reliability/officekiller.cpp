#include "officekiller.h"

#include "runharness.h"

#include <QClipboard>
#include <QGuiApplication>
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
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        if (killed == 0 && !QGuiApplication::clipboard()->image().isNull())
            killed = OfficeKiller::killOfficeChildren();
    });
}
