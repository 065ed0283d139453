#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/types.h>
#include <thread>

// Kills a process group when a watched stretch of calls runs past its limit. A call into an
// office that no longer answers would wait for ever; once the office is killed, the call fails
// at once.
class OfficeWatchdog final {
public:
    explicit OfficeWatchdog(int limitMs);
    ~OfficeWatchdog();
    OfficeWatchdog(const OfficeWatchdog&) = delete;
    OfficeWatchdog& operator=(const OfficeWatchdog&) = delete;

    void setProcessGroup(pid_t group);
    // Watches from the outermost arm() to its matching disarm(); nested pairs change nothing.
    void arm();
    void disarm();
    // True once the watchdog has killed the office.
    bool fired() const { return mFired.load(); }
    int limitMs() const { return mLimitMs; }

private:
    void run();

    const int mLimitMs;
    std::mutex mMutex;
    std::condition_variable mWake;
    std::optional<std::chrono::steady_clock::time_point> mDeadline;
    int mDepth = 0;
    pid_t mGroup = 0;
    bool mStop = false;
    std::atomic_bool mFired { false };
    std::thread mThread;
};
