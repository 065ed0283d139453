#pragma once

#include "comparison.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

class SpreadsheetOffice;

// A plan chosen for a comparison: the name its column shows and the inputs it runs with.
struct PlanToCompare {
    QString name;
    QHash<QString, QString> inputs;
};

// One plan's run as the runner drives it: a step at a time, then its result.
class PlanSteps {
public:
    virtual ~PlanSteps() = default;
    // Runs the next step.
    virtual void step() = 0;
    virtual bool finished() const = 0;
    // What step() runs next, in a few words.
    virtual QString nextStepName() const = 0;
    virtual const PlanRunResult& result() const = 0;
};

// Runs the plans of a comparison one after the other on the warm office, one step per
// event-loop turn, so that the windows stay responsive. A cancel lets the current plan finish
// and runs no further one. The runs, and so their result workbooks, live as long as the runner.
class CompareRunner final : public QObject {
    Q_OBJECT

public:
    using RunMaker = std::function<std::unique_ptr<PlanSteps>(const QHash<QString, QString>&)>;

    CompareRunner(
        SpreadsheetOffice& office, QVector<PlanToCompare> plans, QObject* parent = nullptr);
    ~CompareRunner() override;

    // Tests run plans of their own making; by default each plan is a PlanRun on the office.
    void setRunMaker(RunMaker maker) { mMakeRun = std::move(maker); }

    // Runs the steps from the event loop from now on.
    void start();
    // Runs one step of the current plan (starting the next plan when none is current); false
    // once the runner has finished. The event loop calls it; tests may drive it themselves.
    bool stepOnce();
    // Stops after the plan that runs now.
    void cancel();

    bool isCancelled() const { return mCancelled; }
    bool isFinished() const { return mFinished; }
    int planCount() const { return mPlans.size(); }
    // The plans run to their end so far, in the order chosen.
    const QVector<ComparedPlan>& compared() const { return mCompared; }
    // "Running Retire at 62 (2 of 3)…" for the plan that runs now or runs next.
    QString progressText() const;
    // The longest time one step kept the event loop, in milliseconds.
    qint64 longestTurnMs() const { return mLongestTurnMs; }
    // The step that took it.
    QString longestStep() const { return mLongestStep; }

signals:
    // A plan has started (index from 0).
    void planStarted(int index);
    // Every plan ran, or the runner was cancelled: compared() holds what was done.
    void finished();

private:
    void finish();

    SpreadsheetOffice& mOffice;
    QVector<PlanToCompare> mPlans;
    RunMaker mMakeRun;
    std::vector<std::unique_ptr<PlanSteps>> mRuns;
    QVector<ComparedPlan> mCompared;
    QTimer mTurns;
    bool mCancelled = false;
    bool mFinished = false;
    qint64 mLongestTurnMs = 0;
    QString mLongestStep;
};
