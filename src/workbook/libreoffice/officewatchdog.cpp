#include "officewatchdog.h"

#include <csignal>

OfficeWatchdog::OfficeWatchdog(int limitMs)
    : mLimitMs(limitMs)
    , mThread([this] { run(); })
{
}

OfficeWatchdog::~OfficeWatchdog()
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        mStop = true;
    }
    mWake.notify_all();
    mThread.join();
}

void OfficeWatchdog::setProcessGroup(pid_t group)
{
    const std::lock_guard<std::mutex> lock(mMutex);
    mGroup = group;
}

void OfficeWatchdog::arm()
{
    {
        const std::lock_guard<std::mutex> lock(mMutex);
        if (mDepth++ > 0)
            return;
        mDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(mLimitMs);
    }
    mWake.notify_all();
}

void OfficeWatchdog::disarm()
{
    const std::lock_guard<std::mutex> lock(mMutex);
    if (mDepth > 0 && --mDepth == 0)
        mDeadline.reset();
}

void OfficeWatchdog::run()
{
    std::unique_lock<std::mutex> lock(mMutex);
    while (!mStop) {
        if (!mDeadline) {
            mWake.wait(lock);
            continue;
        }
        const auto deadline = *mDeadline;
        if (mWake.wait_until(lock, deadline) == std::cv_status::timeout && mDeadline
            && *mDeadline == deadline && mGroup > 0) {
            ::kill(-mGroup, SIGKILL);
            mFired = true;
            mDeadline.reset();
        }
    }
}
