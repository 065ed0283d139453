#include "app/apperror.h"
#include "plans/comparerunner.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QSignalSpy>
#include <QtTest>

// The comparison's runs driven a step at a time: order, progress, cancel after the current plan,
// a failing plan among others.
namespace {

class IdleOffice final : public SpreadsheetOffice {
public:
    void startAhead() override { }
    std::unique_ptr<SpreadsheetApplication> newInstance() override { return nullptr; }
    void setStartFailureHandler(std::function<void()>) override { }
    bool awaitStart() override { return true; }
    void runEnded() override { ++ended; }
    int ended = 0;
};

// A plan of three steps; "throw" throws at its second step, "fail" ends failed.
class ScriptedSteps final : public PlanSteps {
public:
    ScriptedSteps(const QString& wages, QStringList& log)
        : mWages(wages)
        , mLog(log)
    {
    }
    void step() override
    {
        mLog << mWages;
        if (++mSteps == 2 && mWages == "throw")
            throw AppError(QStringLiteral("the office went away"));
        if (mSteps == 3 && mWages == "fail")
            mResult = { false, QStringLiteral("filling the template"), QStringLiteral("no cell"),
                {}, {} };
        else if (mSteps == 3)
            mResult.succeeded = true;
    }
    bool finished() const override { return mSteps >= 3; }
    QString nextStepName() const override { return QString::number(mSteps); }
    const PlanRunResult& result() const override { return mResult; }

private:
    QString mWages;
    QStringList& mLog;
    int mSteps = 0;
    PlanRunResult mResult;
};

} // namespace

class TestCompareRunner : public QObject {
    Q_OBJECT

private slots:
    // Each plan runs to its end before the next starts; a cancel takes effect between plans.
    void runsStepByStep_data()
    {
        QTest::addColumn<QStringList>("wages");
        QTest::addColumn<int>("cancelAfterSteps");
        QTest::addColumn<QStringList>("compared");
        QTest::addColumn<int>("steps");
        QTest::newRow("all") << QStringList { "1", "2", "3" } << -1 << QStringList { "1", "2", "3" }
                             << 9;
        QTest::newRow("cancel before any") << QStringList { "1", "2" } << 0 << QStringList() << 0;
        QTest::newRow("cancel in the first")
            << QStringList { "1", "2", "3" } << 1 << QStringList { "1" } << 3;
        QTest::newRow("cancel as the first ends")
            << QStringList { "1", "2", "3" } << 3 << QStringList { "1" } << 3;
        QTest::newRow("cancel in the second")
            << QStringList { "1", "2", "3" } << 4 << QStringList { "1", "2" } << 6;
        QTest::newRow("a failing plan")
            << QStringList { "1", "fail", "3" } << -1
            << QStringList { "1", "fail: filling the template: no cell", "3" } << 9;
        QTest::newRow("a plan that throws")
            << QStringList { "throw", "2" } << -1
            << QStringList { "throw: running the plan: the office went away", "2" } << 5;
    }
    void runsStepByStep()
    {
        QFETCH(QStringList, wages);
        QFETCH(int, cancelAfterSteps);
        QFETCH(QStringList, compared);
        QFETCH(int, steps);
        IdleOffice office;
        QVector<PlanToCompare> plans;
        for (const QString& wage : wages)
            plans.append({ "Plan " + wage, { { "txtIncome0", wage } } });
        CompareRunner runner(office, plans);
        QStringList log;
        runner.setRunMaker([&](const QHash<QString, QString>& inputs) {
            return std::make_unique<ScriptedSteps>(inputs.value("txtIncome0"), log);
        });
        QStringList progress { runner.progressText() };
        connect(&runner, &CompareRunner::planStarted, [&] { progress << runner.progressText(); });
        QSignalSpy finished(&runner, &CompareRunner::finished);
        if (cancelAfterSteps == 0)
            runner.cancel();
        for (int turn = 0; runner.stepOnce(); ++turn) {
            QVERIFY(turn < 100);
            if (log.size() == cancelAfterSteps)
                runner.cancel();
        }
        QStringList done;
        for (const ComparedPlan& plan : runner.compared())
            done << plan.inputs.value("txtIncome0")
                    + (plan.result.succeeded
                            ? ""
                            : ": " + plan.result.failedStep + ": " + plan.result.error);
        QCOMPARE(done, compared);
        QCOMPARE(log.size(), steps);
        if (QTest::currentDataTag() == QByteArray("all"))
            QCOMPARE(progress,
                QStringList({ "Running Plan 1 (1 of 3)…", "Running Plan 1 (1 of 3)…",
                    "Running Plan 2 (2 of 3)…", "Running Plan 3 (3 of 3)…" }));
        QCOMPARE(finished.size(), 1);
        QCOMPARE(runner.isCancelled(), cancelAfterSteps >= 0);
        QCOMPARE(office.ended, 1);
        QVERIFY(!runner.stepOnce());
        QCOMPARE(finished.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestCompareRunner)
#include "tst_comparerunner.moc"
