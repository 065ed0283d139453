#include "app/folders.h"
#include "killingspreadsheet.h"
#include "officekiller.h"
#include "preview/form2.h"
#include "runharness.h"
#include "workbook/libreoffice/warmoffice.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QtTest>
#include <cerrno>
#include <sys/socket.h>
#include <unistd.h>

using namespace Reliability;

// The office killed at each phase of a run: the run reports what failed under
// Form1.PushButton22_Click, never hangs, unlocks the window, leaves no office behind, and the
// next run works.
class TestOfficeKilled : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;

    // Removes the entries whose names match from the list and from the temporary folder.
    QStringList takeLeftovers(QStringList& entries, const QString& pattern)
    {
        const QStringList taken = entries.filter(QRegularExpression(pattern));
        const QString temp = ::temporaryFolder();
        for (const QString& name : taken) {
            entries.removeAll(name);
            if (!QFile::remove(temp + '/' + name))
                QDir(temp + '/' + name).removeRecursively();
        }
        return taken;
    }

    // After the faulty run: its reports, the window given back, nothing left running, and a
    // next run that works.
    void checkRecovery(RunHarness& harness, ScriptedDialogs& dialogs, const QList<int>& runLines,
        const QList<int>& captureLines, bool resultSaved)
    {
        const QList<Report> reported = reports(dialogs);
        const QString all = describe(reported);
        QCOMPARE(reportedLines(reported, "Form1.PushButton22_Click"), runLines);
        QCOMPARE(reportedLines(reported, "Excel1.saveCellsActivesheet"), captureLines);
        for (const Report& report : reported) {
            QVERIFY2(report.procedure != "?" && !report.description.isEmpty(), qPrintable(all));
            // Without a picture the preview reports that it has none to draw.
            if (report.procedure == "Form2.RedrawImage")
                QVERIFY2(runLines.contains(208), qPrintable(all));
        }
        QVERIFY(harness.form().updatesEnabled());
        QCOMPARE(harness.form().mousePointer(), Form1::MousePointer::Default);
        // At most the office kept for the next run.
        QVERIFY(officeChildren().size() <= 1);
        const QString temp = ::temporaryFolder();
        QVERIFY(!QFileInfo::exists(temp + "/template.xlt"));
        QVERIFY(!QFileInfo::exists(temp + "/temp.bmp"));
        // No result workbook, no preview.
        Form2* preview = harness.preview();
        QCOMPARE(preview && preview->isVisible(), resultSaved);
        if (resultSaved)
            QVERIFY(QFileInfo::exists(preview->mExcelFile));

        harness.back();
        QVERIFY(harness.form().isVisible());
        // Nothing of a killed office either: neither the lock on a workbook it had open nor its
        // own scratch folder.
        QStringList left = filesIn(temp);
        const QStringList locks = takeLeftovers(left, QStringLiteral("^\\.~lock\\..*#$"));
        const QStringList scratch = takeLeftovers(left, QStringLiteral("^lu\\w+\\.tmp$"));
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
        QVERIFY2(locks.isEmpty(), qPrintable(locks.join(' ')));
        QVERIFY2(scratch.isEmpty(), qPrintable(scratch.join(' ')));
        dialogs.messages.clear();
        harness.startRun();
        QCOMPARE(dialogs.texts(), QStringList());
        preview = harness.preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!preview->picture().isNull());
        QVERIFY(QFileInfo::exists(preview->mExcelFile));
        QCOMPARE(officeChildren().size(), 1);
        harness.back();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
    }

    // Writing to an office that is gone must fail the write, not end the program.
    void brokenPipeSparesTheProgram()
    {
        RunHarness harness;
        int ends[2];
        QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, ends), 0);
        ::close(ends[1]);
        const ssize_t written = ::send(ends[0], "x", 1, 0);
        const int error = errno;
        ::close(ends[0]);
        QCOMPARE(written, ssize_t(-1));
        QCOMPARE(error, EPIPE);
    }

    void init()
    {
        // What the clipboard held before would stand in for a capture that never happened.
        QGuiApplication::clipboard()->clear();
    }

    void cleanup() { KillingSpreadsheet::uninstall(); }

    void killedDuringTheRun_data()
    {
        QTest::addColumn<int>("instance");
        QTest::addColumn<QString>("member");
        // Lines reported under Form1.PushButton22_Click and Excel1.saveCellsActivesheet.
        QTest::addColumn<QList<int>>("runLines");
        QTest::addColumn<QList<int>>("captureLines");
        QTest::addColumn<bool>("resultSaved");
        // Every cell write fails on its own line, then what needs the instance or its file; what
        // depends on a step that failed is skipped unreported.
        const QList<int> cells { 114, 124, 134, 138, 140, 142, 148, 154, 156, 158, 160 };
        const QList<int> none;
        QTest::newRow("first, opening the template")
            << 1 << "openWorkbook" << QList<int> { 108 } << none << false;
        QTest::newRow("first, typing cells")
            << 1 << "setColumnCells" << cells + QList<int> { 164, 182, 186 } << none << false;
        QTest::newRow("first, saving") << 1 << "saveAs" << QList<int> { 182, 186 } << none << false;
        // It was to end anyway.
        QTest::newRow("first, quitting") << 1 << "quit" << none << none << true;
        QTest::newRow("between the instances")
            << 2 << "create" << QList<int> { 192, 208 } << none << true;
        QTest::newRow("capture, used range") << 2 << "usedRangeLastRow" << QList<int> { 202, 208 }
                                             << QList<int> { 102, 104 } << true;
        QTest::newRow("capture, picture")
            << 2 << "copyPicture" << QList<int> { 202, 208 } << QList<int> { 110 } << true;
        QTest::newRow("second, closing")
            << 2 << "close" << QList<int> { 202 } << QList<int>() << true;
    }

    void killedDuringTheRun()
    {
        QFETCH(int, instance);
        QFETCH(QString, member);
        QFETCH(QList<int>, runLines);
        QFETCH(QList<int>, captureLines);
        QFETCH(bool, resultSaved);
        ScriptedDialogs dialogs;
        RunHarness harness;
        RunHarness::click(harness.form().PushButton7);
        KillingSpreadsheet::Plan plan { instance, member };
        KillingSpreadsheet::install(plan, harness.office());
        harness.startRun();
        KillingSpreadsheet::uninstall();

        QVERIFY(plan.killedProcess != 0);
        checkRecovery(harness, dialogs, runLines, captureLines, resultSaved);
    }

    // The warm office killed while the program waits between runs: the next run starts a new
    // one and goes through as if nothing happened, leaving nothing of the dead one behind.
    void warmOfficeKilledBetweenRuns()
    {
        ScriptedDialogs dialogs;
        RunHarness harness;
        RunHarness::click(harness.form().PushButton7);
        harness.startRun();
        harness.back();
        const QList<qint64> warm = officeChildren();
        QCOMPARE(warm.size(), 1);
        QCOMPARE(OfficeKiller::killOfficeChildren(), 1);
        harness.startRun();

        QCOMPARE(dialogs.texts(), QStringList());
        Form2* preview = harness.preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!preview->picture().isNull());
        QVERIFY(QFileInfo(preview->mExcelFile).size() > 0);
        QVERIFY(harness.form().updatesEnabled());
        const QList<qint64> now = officeChildren();
        QCOMPARE(now.size(), 1);
        QVERIFY(now != warm);
        harness.back();
        QStringList left = filesIn(::temporaryFolder());
        const QStringList scratch = takeLeftovers(left, QStringLiteral("^lu\\w+\\.tmp$"));
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
        QVERIFY2(scratch.isEmpty(), qPrintable(scratch.join(' ')));
    }

    // The offices die on the program's own path, with nothing standing in for the factory.
    void killedOnTheProgramsPath_data()
    {
        QTest::addColumn<int>("phase");
        QTest::addColumn<QList<int>>("runLines");
        QTest::addColumn<QList<int>>("captureLines");
        QTest::addColumn<bool>("resultSaved");
        QTest::newRow("first, typing today's date")
            << 0 << QList<int> { 138, 140, 142, 148, 154, 156, 158, 160, 164, 182, 186 }
            << QList<int>() << false;
        QTest::newRow("first, naming the result")
            << 1 << QList<int> { 182, 186 } << QList<int>() << false;
        // The picture is drawn already; only closing the workbook fails.
        QTest::newRow("capture, the picture drawn")
            << 2 << QList<int> { 202 } << QList<int>() << true;
    }

    void killedOnTheProgramsPath()
    {
        QFETCH(int, phase);
        QFETCH(QList<int>, runLines);
        QFETCH(QList<int>, captureLines);
        QFETCH(bool, resultSaved);
        ScriptedDialogs dialogs;
        RunHarness harness;
        RunHarness::click(harness.form().PushButton7);
        int killed = 0;
        if (phase < 2) {
            KillingClock clock(phase == 0 ? KillingClock::At::Today : KillingClock::At::Digit);
            harness.startRun();
            killed = clock.killed;
        } else {
            KillingClipboard clipboard;
            harness.startRun();
            killed = clipboard.killed;
        }
        QVERIFY(killed > 0);
        checkRecovery(harness, dialogs, runLines, captureLines, resultSaved);
    }

    // The run folder goes before the temporary home that holds it.
    void cleanupTestCase() { removeTemporaryFolders(); }
};

QTEST_MAIN(TestOfficeKilled)
#include "tst_officekilled.moc"
