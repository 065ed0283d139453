#include "signalexit.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int handledSignals[] = { SIGTERM, SIGHUP, SIGINT };
int signalPipe[2] = { -1, -1 };

extern "C" void writeSignalToPipe(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

void handleWith(void (*handler)(int))
{
    struct sigaction action { };
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : handledSignals)
        ::sigaction(number, &action, nullptr);
}

} // namespace

SignalExit::SignalExit(std::function<void()> tidyUp, QObject* parent)
    : QObject(parent)
    , mTidyUp(std::move(tidyUp))
{
    if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    mNotifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(mNotifier, &QSocketNotifier::activated, this, &SignalExit::readSignal);
    handleWith(writeSignalToPipe);
}

SignalExit::~SignalExit()
{
    if (mNotifier)
        handleWith(SIG_DFL);
}

void SignalExit::readSignal()
{
    unsigned char byte = 0;
    if (::read(signalPipe[0], &byte, 1) != 1 || mReceived != 0)
        return;
    mReceived = byte;
    handleWith(SIG_DFL);
    if (mTidyUp)
        mTidyUp();
    QCoreApplication::exit(128 + mReceived);
}
