#include "idleend.h"

IdleEnd::IdleEnd(int idleMs, std::function<long()> holders, std::function<void()> end)
    : mHolders(std::move(holders))
    , mEnd(std::move(end))
{
    mTimer.setSingleShot(true);
    mTimer.setInterval(idleMs);
    QObject::connect(&mTimer, &QTimer::timeout, [this] { timeUp(); });
}

void IdleEnd::restart()
{
    mTimer.start();
}

void IdleEnd::stop()
{
    mTimer.stop();
}

bool IdleEnd::isRunning() const
{
    return mTimer.isActive();
}

int IdleEnd::intervalMs() const
{
    return mTimer.interval();
}

void IdleEnd::timeUp()
{
    mTimer.stop();
    if (mHolders() > 1) {
        // A session still works with it: its time without use has not begun.
        restart();
        return;
    }
    mEnd();
}
