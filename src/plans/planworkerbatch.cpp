#include "planworkerbatch.h"

#include "planconsole.h"
#include "planmessages.h"
#include "planworker.h"

#include "app/folders.h"

#include <QCoreApplication>
#include <QProcess>

#include <algorithm>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

// A worker stops between two steps; a step is one office call or a few.
constexpr int stopGraceMs = 30000;

PlanRunResult failure(const QString& reason)
{
    PlanRunResult result;
    result.failedStep = QStringLiteral("running the plan");
    result.error = reason;
    return result;
}

} // namespace

PlanWorkerBatch::PlanWorkerBatch(QVector<PlanJob> jobs, bool readResults, int workerCount)
    : mJobs(std::move(jobs))
    , mReadResults(readResults)
    , mResults(mJobs.size())
    , mSignalExit([this] { stop(); })
{
    for (int count = 0; count < workerCount; ++count)
        mWorkers.push_back(std::make_unique<Worker>());
}

PlanWorkerBatch::~PlanWorkerBatch() = default;

int PlanWorkerBatch::run()
{
    for (const std::unique_ptr<Worker>& worker : mWorkers)
        startWorker(*worker);
    if (std::any_of(
            mWorkers.begin(), mWorkers.end(), [](const auto& worker) { return !worker->gone; }))
        mLoop.exec();
    else {
        PlanConsole::report(QCoreApplication::applicationName(),
            QStringLiteral("starting the program again"), mWorkers.front()->process->errorString());
        mFailed = true;
    }
    // After a signal the loop is left at once; the workers are still ending.
    waitForWorkers();
    // A worker that had to be killed could not remove its run folder.
    removeAbandonedTemporaryFolders();
    if (const int signal = mSignalExit.received()) {
        PlanConsole::reportStop(signal);
        return 128 + signal;
    }
    return mFailed ? 1 : 0;
}

void PlanWorkerBatch::startWorker(Worker& worker)
{
    worker.process = new QProcess(this);
    worker.process->setProgram(QCoreApplication::applicationFilePath());
    worker.process->setArguments({ planWorkerOption });
    const pid_t parent = ::getpid();
    worker.process->setChildProcessModifier([parent] {
        // A group of its own: Ctrl+C reaches this program alone, which passes the signal on once.
        ::setpgid(0, 0);
        // Killed with us: it ends its office and removes its run folder as at any signal.
        ::prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (::getppid() != parent)
            ::_exit(127);
    });
    connect(worker.process, &QProcess::readyReadStandardOutput, this,
        [this, &worker] { readAnswers(worker); });
    connect(worker.process, &QProcess::readyReadStandardError, this,
        [this, &worker] { passErrors(worker, false); });
    connect(worker.process, &QProcess::finished, this, [this, &worker] { workerEnded(worker); });
    worker.process->start();
    worker.gone = !worker.process->waitForStarted();
}

void PlanWorkerBatch::readAnswers(Worker& worker)
{
    worker.output += worker.process->readAllStandardOutput();
    for (qsizetype end = worker.output.indexOf('\n'); end >= 0 && !worker.gone;
         end = worker.output.indexOf('\n')) {
        const QByteArray line = worker.output.left(end);
        worker.output.remove(0, end + 1);
        const std::optional<PlanMessages::Answer> answer = PlanMessages::readAnswer(line);
        const bool started = answer && answer->kind == PlanMessages::Answer::Kind::Started;
        if (!answer || (!started && worker.job != answer->index)) {
            // A worker that says what it was not asked is ended; its plan fails with it.
            worker.process->kill();
            return;
        }
        if (started && !answer->officeFailure.isEmpty()) {
            if (!mHalted)
                PlanConsole::report(QCoreApplication::applicationName(),
                    QStringLiteral("starting the office"), answer->officeFailure);
            mFailed = mHalted = true;
            for (const std::unique_ptr<Worker>& other : mWorkers)
                if (!other->job)
                    sendNext(*other);
            continue;
        }
        if (!started) {
            worker.job.reset();
            finish(answer->index, answer->result);
        }
        sendNext(worker);
    }
}

void PlanWorkerBatch::passErrors(Worker& worker, bool all)
{
    worker.errors += worker.process->readAllStandardError();
    // Whole lines only, so that the workers' lines do not cut into each other.
    const qsizetype end = all ? worker.errors.size() : worker.errors.lastIndexOf('\n') + 1;
    if (end <= 0)
        return;
    PlanConsole::errors() << QString::fromUtf8(worker.errors.left(end));
    if (!worker.errors.left(end).endsWith('\n'))
        PlanConsole::errors() << '\n';
    PlanConsole::errors() << Qt::flush;
    worker.errors.remove(0, end);
}

void PlanWorkerBatch::workerEnded(Worker& worker)
{
    readAnswers(worker);
    passErrors(worker, true);
    worker.gone = true;
    if (worker.job && mSignalExit.received() == 0) {
        finish(*worker.job,
            failure(worker.process->exitStatus() == QProcess::CrashExit
                    ? QStringLiteral("the process running it crashed")
                    : QStringLiteral("the process running it ended with status %1")
                          .arg(worker.process->exitCode())));
    }
    worker.job.reset();
    if (std::any_of(
            mWorkers.begin(), mWorkers.end(), [](const auto& other) { return !other->gone; }))
        return;
    // The last worker is gone: plans that no office took fail.
    for (; !mHalted && mSignalExit.received() == 0 && mNext < mJobs.size(); ++mNext) {
        PlanConsole::reportStart(mJobs.at(mNext), mNext, mJobs.size());
        finish(mNext, failure(QStringLiteral("no office is left to run it")));
    }
    mLoop.quit();
}

void PlanWorkerBatch::sendNext(Worker& worker)
{
    if (worker.gone || worker.process->state() != QProcess::Running)
        return;
    if (mHalted || mNext >= mJobs.size()) {
        // Its input ends: the worker ends its office and leaves.
        worker.process->closeWriteChannel();
        return;
    }
    const qsizetype index = mNext++;
    worker.job = index;
    PlanConsole::reportStart(mJobs.at(index), index, mJobs.size());
    worker.process->write(PlanMessages::jobLine({ index, mJobs.at(index), mReadResults }));
}

void PlanWorkerBatch::finish(qsizetype index, const PlanRunResult& result)
{
    if (!PlanConsole::reportEnd(mJobs.at(index), result))
        mFailed = true;
    mResults[index] = result;
    printReadyResults();
}

void PlanWorkerBatch::printReadyResults()
{
    for (; mNextPrinted < mResults.size() && mResults.at(mNextPrinted); ++mNextPrinted) {
        const PlanRunResult& result = *mResults.at(mNextPrinted);
        if (mReadResults && result.succeeded)
            PlanConsole::printResults(mJobs.at(mNextPrinted), result, mJobs.size() > 1);
    }
}

void PlanWorkerBatch::stop()
{
    mHalted = true;
    for (const std::unique_ptr<Worker>& worker : mWorkers) {
        if (worker->gone || worker->process->state() != QProcess::Running)
            continue;
        ::kill(pid_t(worker->process->processId()), mSignalExit.received());
        worker->process->closeWriteChannel();
    }
}

void PlanWorkerBatch::waitForWorkers()
{
    for (const std::unique_ptr<Worker>& worker : mWorkers) {
        if (!worker->process || worker->process->state() == QProcess::NotRunning)
            continue;
        if (!worker->process->waitForFinished(stopGraceMs)) {
            worker->process->kill();
            worker->process->waitForFinished();
        }
    }
}
