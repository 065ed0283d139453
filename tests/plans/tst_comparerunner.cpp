#include "app/apperror.h"
#include "plans/comparerunner.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QSignalSpy>
#include <QtTest>

// The comparison's runs driven a step at a time: order, progress, cancel after the current plan,
// a failing plan among others.
namespace {

// The runner only tells the office when it is done with it.
class IdleOffice final : public SpreadsheetOffice {
public:
    void startAhead() override { }
    std::unique_ptr<SpreadsheetApplication> newInstance() override
    {
        throw AppError(QStringLiteral("no office in this test"));
    }
    void setStartFailureHandler(std::function<void()>) override { }
    bool awaitStart() override { return true; }
    void runEnded() override { ++ended; }
    int ended = 0;
};

// A plan of three steps whose result names its wages; "throw" throws at its second step and
// "fail" ends failed.
class ScriptedSteps final : public PlanSteps {
public:
    explicit ScriptedSteps(const QHash<QString, QString>& inputs, QStringList& log)
        : mWages(inputs.value("txtIncome0"))
        , mLog(log)
    {
    }
    void step() override
    {
        mLog << QStringLiteral("%1:%2").arg(mWages).arg(++mSteps);
        if (mWages == "throw" && mSteps == 2)
            throw AppError(QStringLiteral("the office went away"));
        if (mSteps == 3) {
            mResult.succeeded = mWages != "fail";
            if (!mResult.succeeded) {
                mResult.failedStep = QStringLiteral("filling the template");
                mResult.error = QStringLiteral("no such cell");
            }
            mResult.results = { { QStringLiteral("Total income"), mWages, std::nullopt } };
        }
    }
    bool finished() const override { return mSteps >= 3; }
    QString nextStepName() const override { return QStringLiteral("step %1").arg(mSteps + 1); }
    const PlanRunResult& result() const override { return mResult; }

private:
    QString mWages;
    QStringList& mLog;
    int mSteps = 0;
    PlanRunResult mResult;
};

QVector<PlanToCompare> plansOf(const QStringList& wages)
{
    QVector<PlanToCompare> plans;
    for (const QString& wage : wages)
        plans.append({ "Plan " + wage, { { "txtIncome0", wage } } });
    return plans;
}

} // namespace

class TestCompareRunner : public QObject {
    Q_OBJECT

    IdleOffice mOffice;
    QStringList mLog;

    std::unique_ptr<CompareRunner> runnerFor(const QStringList& wages)
    {
        mLog.clear();
        auto runner = std::make_unique<CompareRunner>(mOffice, plansOf(wages));
        runner->setRunMaker([this](const QHash<QString, QString>& inputs) {
            return std::make_unique<ScriptedSteps>(inputs, mLog);
        });
        return runner;
    }

    static QStringList names(const CompareRunner& runner)
    {
        QStringList shown;
        for (const ComparedPlan& plan : runner.compared())
            shown << plan.name
                    + (plan.result.succeeded
                            ? ""
                            : " failed " + plan.result.failedStep + ": " + plan.result.error);
        return shown;
    }

private slots:
    // Each plan runs to its end before the next starts; a cancel takes effect between plans.
    void runsStepByStep_data()
    {
        QTest::addColumn<QStringList>("wages");
        QTest::addColumn<int>("cancelAfterSteps");
        QTest::addColumn<QStringList>("compared");
        QTest::addColumn<int>("steps");
        QTest::newRow("all") << QStringList { "1", "2", "3" } << -1
                             << QStringList { "Plan 1", "Plan 2", "Plan 3" } << 9;
        QTest::newRow("cancel before any") << QStringList { "1", "2" } << 0 << QStringList() << 0;
        QTest::newRow("cancel in the first")
            << QStringList { "1", "2", "3" } << 1 << QStringList { "Plan 1" } << 3;
        QTest::newRow("cancel as the first ends")
            << QStringList { "1", "2", "3" } << 3 << QStringList { "Plan 1" } << 3;
        QTest::newRow("cancel in the second")
            << QStringList { "1", "2", "3" } << 4 << QStringList { "Plan 1", "Plan 2" } << 6;
        QTest::newRow("a failing plan")
            << QStringList { "1", "fail", "3" } << -1
            << QStringList { "Plan 1", "Plan fail failed filling the template: no such cell",
                   "Plan 3" }
            << 9;
        QTest::newRow("a plan that throws")
            << QStringList { "throw", "2" } << -1
            << QStringList { "Plan throw failed running the plan: the office went away", "Plan 2" }
            << 5;
    }
    void runsStepByStep()
    {
        QFETCH(QStringList, wages);
        QFETCH(int, cancelAfterSteps);
        QFETCH(QStringList, compared);
        QFETCH(int, steps);
        const int endedBefore = mOffice.ended;
        auto runner = runnerFor(wages);
        QSignalSpy started(runner.get(), &CompareRunner::planStarted);
        QSignalSpy finished(runner.get(), &CompareRunner::finished);
        if (cancelAfterSteps == 0)
            runner->cancel();
        int turns = 0;
        while (runner->stepOnce()) {
            QVERIFY(++turns < 100);
            if (mLog.size() == cancelAfterSteps)
                runner->cancel();
        }
        QCOMPARE(names(*runner), compared);
        QCOMPARE(mLog.size(), steps);
        QCOMPARE(started.size(), compared.size());
        QCOMPARE(finished.size(), 1);
        QVERIFY(runner->isFinished());
        QCOMPARE(runner->isCancelled(), cancelAfterSteps >= 0);
        QCOMPARE(mOffice.ended, endedBefore + 1);
        QVERIFY(!runner->stepOnce());
        QCOMPARE(finished.size(), 1);
    }

    void tellsWhichPlanRuns()
    {
        auto runner = runnerFor({ "1", "2", "3" });
        QStringList shown { runner->progressText() };
        connect(
            runner.get(), &CompareRunner::planStarted, [&] { shown << runner->progressText(); });
        while (runner->stepOnce()) { }
        QCOMPARE(shown,
            QStringList({ "Running Plan 1 (1 of 3)…", "Running Plan 1 (1 of 3)…",
                "Running Plan 2 (2 of 3)…", "Running Plan 3 (3 of 3)…" }));
    }

    // From the event loop, one step per turn: other events are handled between the steps.
    void theEventLoopDrivesTheSteps()
    {
        auto runner = runnerFor({ "1", "2" });
        int between = 0;
        QTimer other;
        connect(&other, &QTimer::timeout, [&] { ++between; });
        other.start(0);
        QSignalSpy finished(runner.get(), &CompareRunner::finished);
        runner->start();
        QVERIFY(finished.wait(5000));
        QCOMPARE(names(*runner), QStringList({ "Plan 1", "Plan 2" }));
        QVERIFY(between >= 6);
    }
};

QTEST_GUILESS_MAIN(TestCompareRunner)
#include "tst_comparerunner.moc"
