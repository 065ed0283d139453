#pragma once

#include "planjobs.h"

#include "app/signalexit.h"

#include <QByteArray>
#include <QEventLoop>
#include <QObject>
#include <QVector>
#include <memory>
#include <optional>

class QProcess;

// A batch of plans on several offices at once: workers (the program itself, started with
// planWorkerOption, each with an office of its own) take the next plan whenever they finish one.
// The lines on standard error and standard output read as when one office runs them all: the
// results come out in the plans' order. A signal is passed on to the workers, which stop between
// two steps and end their offices; a worker dies with this program.
class PlanWorkerBatch final : public QObject {
    Q_OBJECT

public:
    PlanWorkerBatch(QVector<PlanJob> jobs, bool readResults, int workerCount);
    ~PlanWorkerBatch() override;

    // Runs every plan. 0 when each succeeded, 1 when one failed or no office could be started,
    // 128 + the signal that stopped the batch.
    int run();

private:
    struct Worker {
        QProcess* process = nullptr;
        QByteArray output;
        QByteArray errors;
        std::optional<qsizetype> job; // the plan it runs
        bool gone = false;
    };

    void startWorker(Worker& worker);
    void readAnswers(Worker& worker);
    void passErrors(Worker& worker, bool all);
    void workerEnded(Worker& worker);
    void sendNext(Worker& worker);
    void finish(qsizetype index, const PlanRunResult& result);
    void printReadyResults();
    void stop();
    void waitForWorkers();

    QVector<PlanJob> mJobs;
    bool mReadResults;
    std::vector<std::unique_ptr<Worker>> mWorkers;
    QVector<std::optional<PlanRunResult>> mResults;
    qsizetype mNext = 0; // the next plan to send
    qsizetype mNextPrinted = 0; // the next plan whose results go to standard output
    bool mHalted = false; // no more plans are sent
    bool mFailed = false;
    QEventLoop mLoop;
    SignalExit mSignalExit;
};
