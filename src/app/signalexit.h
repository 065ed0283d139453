#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Ends the program in order on SIGTERM, SIGHUP and SIGINT (logout, a closed terminal, Ctrl+C).
// The signal handler only writes the signal's number to a pipe; the application's event loop
// reads it, runs the tidy-up and leaves with status 128 + signal, so the windows, the office
// and the run's folder go as at any end. A second signal while that goes on ends the program
// at once.
class SignalExit final : public QObject {
    Q_OBJECT

public:
    explicit SignalExit(std::function<void()> tidyUp, QObject* parent = nullptr);
    // Puts the default handling back.
    ~SignalExit() override;
    SignalExit(const SignalExit&) = delete;
    SignalExit& operator=(const SignalExit&) = delete;

    // The signal that ended the program; 0 while none came.
    int received() const { return mReceived; }

private:
    void readSignal();

    std::function<void()> mTidyUp;
    QSocketNotifier* mNotifier = nullptr;
    int mReceived = 0;
};
