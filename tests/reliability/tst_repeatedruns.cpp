#include "preview/form2.h"
#include "runharness.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QtTest>

using namespace Reliability;

// Generation runs in a row through the real windows and a real office: each one succeeds, leaves
// no office and no temporary file but the result workbook the preview owns, and the program's
// memory does not grow from run to run. FERROWYND_RUNS sets the number of runs; every run
// prints its figures.
class TestRepeatedRuns : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
    }

    void runsInARow()
    {
        bool ok = false;
        const int runs = qMax(qEnvironmentVariableIntValue("FERROWYND_RUNS", &ok), 0);
        const int count = ok && runs > 0 ? runs : 10;
        // The first runs fill caches (fonts, the profile, the picture's buffers) once.
        const int warmUp = qMin(3, count - 1);
        ScriptedDialogs dialogs;
        RunHarness harness;
        RunHarness::click(harness.form().PushButton7);
        const QString temp = temporaryFolder(mHome);
        QSet<QString> results;
        qint64 heapAfterWarmUp = 0;
        qint64 heap = 0;
        for (int run = 1; run <= count; ++run) {
            harness.startRun();
            const QList<Report> reported = reports(dialogs);
            QVERIFY2(reported.isEmpty(), qPrintable(describe(reported)));
            Form2* preview = harness.preview();
            QVERIFY(preview && preview->isVisible());
            QVERIFY(!preview->picture().isNull());
            QVERIFY(harness.form().updatesEnabled());
            QCOMPARE(officeChildren(), QList<qint64>());
            const QString result = preview->mExcelFile;
            QCOMPARE(filesIn(temp), QStringList { QFileInfo(result).fileName() });
            QVERIFY2(!results.contains(result), qPrintable(result));
            results.insert(result);

            harness.back();
            QVERIFY(harness.form().isVisible());
            QCOMPARE(filesIn(temp), QStringList());

            heap = heapInUseBytes();
            if (run == warmUp)
                heapAfterWarmUp = heap;
            qInfo("run %d rss %lld KiB heap %lld KiB offices %lld leftovers %lld", run,
                residentKilobytes(), heap / 1024, qint64(officeChildren().size()),
                qint64(filesIn(temp).size()));
        }
        QCOMPARE(dialogs.texts(), QStringList());
        // One picture kept per run would add about 6 MiB each time.
        const qint64 growth = heap - heapAfterWarmUp;
        const qint64 allowed = qint64(count - warmUp) * 512 * 1024;
        QVERIFY2(growth <= allowed,
            qPrintable(QStringLiteral("the heap grew by %1 KiB over %2 runs")
                           .arg(growth / 1024)
                           .arg(count - warmUp)));
    }
};

QTEST_MAIN(TestRepeatedRuns)
#include "tst_repeatedruns.moc"
