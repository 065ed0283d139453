#pragma once

#include <QTimer>
#include <functional>

// The end of the warm office after a time without use. Every use starts the time afresh; when it
// runs out while a session still holds the office it starts again instead, so only an office
// that nobody uses is ended.
class IdleEnd final {
public:
    // holders counts who holds the office now: the warm office itself and every session made
    // from it (0 when there is none); end ends it.
    IdleEnd(int idleMs, std::function<long()> holders, std::function<void()> end);
    IdleEnd(const IdleEnd&) = delete;
    IdleEnd& operator=(const IdleEnd&) = delete;

    // A use: the time without use begins now.
    void restart();
    void stop();
    bool isRunning() const;
    int intervalMs() const;
    // The time has run out (the timer calls it).
    void timeUp();

private:
    QTimer mTimer;
    std::function<long()> mHolders;
    std::function<void()> mEnd;
};
