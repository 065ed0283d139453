#include "comparerunner.h"

#include "app/apperror.h"
#include "planrun.h"
#include "workbook/spreadsheetoffice.h"

#include <QElapsedTimer>

namespace {

class PlanRunSteps final : public PlanSteps {
public:
    PlanRunSteps(SpreadsheetOffice& office, const QHash<QString, QString>& inputs)
        : mRun(office, inputs, PlanOutputs(), true)
    {
    }
    void step() override { mRun.step(); }
    bool finished() const override { return mRun.finished(); }
    QString nextStepName() const override { return mRun.nextStepName(); }
    const PlanRunResult& result() const override { return mRun.result(); }

private:
    PlanRun mRun;
};

} // namespace

CompareRunner::CompareRunner(
    SpreadsheetOffice& office, QVector<PlanToCompare> plans, QObject* parent)
    : QObject(parent)
    , mOffice(office)
    , mPlans(std::move(plans))
    , mMakeRun([this](const QHash<QString, QString>& inputs) {
        return std::make_unique<PlanRunSteps>(mOffice, inputs);
    })
{
    mTurns.setInterval(0);
    connect(&mTurns, &QTimer::timeout, this, [this] {
        if (!stepOnce())
            mTurns.stop();
    });
}

CompareRunner::~CompareRunner() = default;

void CompareRunner::start()
{
    if (!mFinished)
        mTurns.start();
}

bool CompareRunner::stepOnce()
{
    if (mFinished)
        return false;
    QElapsedTimer turn;
    turn.start();
    const int current = mCompared.size();
    if (int(mRuns.size()) == current) {
        // Between plans: the place where a cancel takes effect.
        if (mCancelled || current >= mPlans.size()) {
            finish();
            return false;
        }
        mRuns.push_back(mMakeRun(mPlans.at(current).inputs));
        emit planStarted(current);
    }
    PlanSteps& run = *mRuns.back();
    const PlanToCompare& plan = mPlans.at(current);
    const QString stepName = run.nextStepName();
    try {
        run.step();
        if (run.finished())
            mCompared.append(ComparedPlan { plan.name, plan.inputs, run.result() });
    } catch (const AppError& error) {
        // A run that cannot go on is that plan's failure; the others still run.
        PlanRunResult failed = run.result();
        failed.succeeded = false;
        failed.error = error.description();
        if (failed.failedStep.isEmpty())
            failed.failedStep = tr("running the plan");
        mCompared.append(ComparedPlan { plan.name, plan.inputs, failed });
    }
    if (turn.elapsed() > mLongestTurnMs) {
        mLongestTurnMs = turn.elapsed();
        mLongestStep = stepName;
    }
    return true;
}

void CompareRunner::cancel()
{
    mCancelled = true;
}

QString CompareRunner::progressText() const
{
    const int index = std::min(int(mCompared.size()), int(mPlans.size()) - 1);
    if (index < 0)
        return QString();
    return tr("Running %1 (%2 of %3)…")
        .arg(mPlans.at(index).name)
        .arg(index + 1)
        .arg(mPlans.size());
}

void CompareRunner::finish()
{
    mFinished = true;
    mTurns.stop();
    // No session of the comparison is left: the office may be renewed now.
    mOffice.runEnded();
    emit finished();
}
