#include "planworker.h"

#include "planmessages.h"
#include "planrunner.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <unistd.h>

namespace {

// Standard input, read as the event loop finds something there, so that a signal is seen at
// once also while the worker waits for its next job.
class JobInput final {
public:
    JobInput()
        : mNotifier(STDIN_FILENO, QSocketNotifier::Read)
    {
        QObject::connect(&mNotifier, &QSocketNotifier::activated, [this] { readSome(); });
    }

    std::optional<QByteArray> takeLine()
    {
        const qsizetype end = mBuffer.indexOf('\n');
        if (end < 0)
            return std::nullopt;
        const QByteArray line = mBuffer.left(end);
        mBuffer.remove(0, end + 1);
        return line;
    }

    bool atEnd() const { return !mNotifier.isEnabled(); }

private:
    void readSome()
    {
        char chunk[16384];
        const ssize_t got = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (got > 0)
            mBuffer.append(chunk, got);
        else if (got == 0 || errno != EINTR)
            mNotifier.setEnabled(false);
    }

    QSocketNotifier mNotifier;
    QByteArray mBuffer;
};

// False when the program that sent the job is gone.
bool answer(const QByteArray& line)
{
    for (qsizetype written = 0; written < line.size();) {
        const ssize_t now
            = ::write(STDOUT_FILENO, line.constData() + written, size_t(line.size() - written));
        if (now < 0 && errno == EINTR)
            continue;
        if (now <= 0)
            return false;
        written += now;
    }
    return true;
}

} // namespace

int runPlanWorker()
{
    PlanRunner runner;
    JobInput input;
    const QString officeFailure = runner.startOffice();
    if (!answer(PlanMessages::startedLine(officeFailure)) || !officeFailure.isEmpty())
        return 1;
    while (runner.stoppedBy() == 0) {
        if (const std::optional<QByteArray> line = input.takeLine()) {
            const std::optional<PlanMessages::Job> job = PlanMessages::readJob(*line);
            if (!job)
                break;
            const std::optional<PlanRunResult> result = runner.run(job->job, job->readResults);
            if (!result || !answer(PlanMessages::finishedLine(job->index, *result)))
                break;
            continue;
        }
        if (input.atEnd())
            break;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    runner.endOffice();
    return runner.stoppedBy() != 0 ? 128 + runner.stoppedBy() : 0;
}
