#include "app/folders.h"
#include "preview/form2.h"
#include "runharness.h"
#include "workbook/libreoffice/officememory.h"
#include "workbook/libreoffice/warmoffice.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QSet>
#include <QtTest>

using namespace Reliability;

// Generation runs in a row through the real windows and a real office: each one succeeds, leaves
// no temporary file but the result workbook the preview owns and no office but the one kept warm
// for the next run, and the program's memory does not grow from run to run. FERROWYND_RUNS sets
// the number of runs; every run prints its figures. The kept office ends after its idle time
// and comes back when the user types or starts a run.
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
        const QString temp = ::temporaryFolder();
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
            // One office serves every run.
            QCOMPARE(officeChildren().size(), 1);
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

    // Two programs of one user, one TEMP, runs started at the same moment with different wages:
    // each shows and keeps its own result, and neither leaves its folder behind.
    void twoProgramsAtOnceEachGetTheirOwnResult()
    {
        const QString temp = temporaryFolder(mHome);
        for (int round = 0; round < 2; ++round) {
            const qint64 startAt = QDateTime::currentMSecsSinceEpoch() + 25000;
            std::vector<std::unique_ptr<QProcess>> programs;
            for (const char* wages : { "1111", "7777" }) {
                auto program = std::make_unique<QProcess>();
                program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
                QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
                environment.insert("QT_QPA_PLATFORM", "offscreen");
                program->setProcessEnvironment(environment);
                program->start(QStringLiteral(FERROWYND_RUN_PROGRAM),
                    { QString::fromLatin1(wages), QString::number(startAt) });
                programs.push_back(std::move(program));
            }
            QStringList results;
            QStringList pictures;
            for (const auto& program : programs) {
                QVERIFY(program->waitForFinished(170000));
                QCOMPARE(program->exitCode(), 0);
                const QStringList said = QString::fromLocal8Bit(program->readAllStandardOutput())
                                             .simplified()
                                             .split(' ');
                QCOMPARE(said.size(), 4);
                QCOMPARE(said[3], QStringLiteral("1"));
                results << said[1];
                pictures << said[2];
            }
            QVERIFY(QFileInfo(results[0]).absolutePath() != QFileInfo(results[1]).absolutePath());
            QVERIFY(pictures[0] != pictures[1]);
            // Only this test's own program folder is left in TEMP.
            QCOMPARE(filesIn(temp), QStringList { QFileInfo(::temporaryFolder()).fileName() });
        }
    }

    // An office past its memory limit is replaced after the run, never during it; one under the
    // limit serves the next run too.
    void officeOverItsMemoryLimitIsReplacedBetweenRuns_data()
    {
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("over the limit") << qint64(1) << true;
        QTest::newRow("under the limit") << officeMemoryLimit << false;
    }

    void officeOverItsMemoryLimitIsReplacedBetweenRuns()
    {
        QFETCH(qint64, limit);
        QFETCH(bool, replaced);
        ScriptedDialogs dialogs;
        RunHarness harness;
        RunHarness::click(harness.form().PushButton7);
        harness.startRun();
        harness.back();
        const qint64 first = harness.office().processId();
        QVERIFY(first != 0);
        harness.office().setMemoryLimit(limit);
        harness.startRun();
        QVERIFY2(dialogs.texts().isEmpty(), qPrintable(dialogs.texts().join("\n")));
        // The run went through on the office it found; the next one is under way after it.
        QCOMPARE(officeChildren().size(), 1);
        QCOMPARE(harness.office().processId() != first, replaced);
        QVERIFY(harness.office().processId() != 0);
        harness.back();
        harness.office().setMemoryLimit(officeMemoryLimit);
        harness.startRun();
        QVERIFY2(dialogs.texts().isEmpty(), qPrintable(dialogs.texts().join("\n")));
        QVERIFY(!harness.preview()->picture().isNull());
        QCOMPARE(officeChildren().size(), 1);
        harness.back();
    }

    void officeEndsWhenIdleAndComesBack()
    {
        qputenv("FERROWYND_OFFICE_IDLE_S", "1.5");
        ScriptedDialogs dialogs;
        RunHarness harness;
        qunsetenv("FERROWYND_OFFICE_IDLE_S");
        RunHarness::click(harness.form().PushButton7);
        // The scratch folder the office was given.
        const auto scratchOf = [](qint64 pid) {
            QFile environ(QStringLiteral("/proc/%1/environ").arg(pid));
            const QByteArray all = environ.open(QIODevice::ReadOnly) ? environ.readAll() : "";
            for (const QByteArray& entry : all.split('\0'))
                if (entry.startsWith("TMPDIR="))
                    return QFile::decodeName(entry.mid(7));
            return QString();
        };
        for (const char* comeBack : { "typing", "run" }) {
            harness.startRun();
            QVERIFY2(dialogs.texts().isEmpty(), qPrintable(dialogs.texts().join("\n")));
            harness.back();
            QCOMPARE(officeChildren().size(), 1);
            const QString scratch = scratchOf(officeChildren().constFirst());
            QVERIFY(QFileInfo(scratch).isDir());
            // Nothing but waiting: the office goes, with its scratch folder.
            QTRY_COMPARE_WITH_TIMEOUT(officeChildren(), QList<qint64>(), 15000);
            QVERIFY2(!QFileInfo::exists(scratch), qPrintable(scratch));
            if (QLatin1String(comeBack) == QLatin1String("typing")) {
                QLineEdit* field = harness.form().txtIncome(2);
                field->setFocus();
                QTest::keyClick(field, Qt::Key_5);
                QCOMPARE(officeChildren().size(), 1);
            }
        }
        harness.startRun();
        QVERIFY2(dialogs.texts().isEmpty(), qPrintable(dialogs.texts().join("\n")));
        Form2* preview = harness.preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!preview->picture().isNull());
        QCOMPARE(officeChildren().size(), 1);
        harness.back();
    }

    // The run folder goes before the temporary home that holds it.
    void cleanupTestCase() { removeTemporaryFolders(); }
};

QTEST_MAIN(TestRepeatedRuns)
#include "tst_repeatedruns.moc"
