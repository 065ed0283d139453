#include "app/applicationtitle.h"
#include "app/folders.h"
#include "app/settingsstore.h"
#include "app/settingswriter.h"
#include "app/signalexit.h"
#include "preview/form2.h"
#include "runharness.h"
#include "workbook/runclock.h"

#include "workbook/checkexcelinstance.h"
#include "workbook/libreoffice/warmoffice.h"
#include <QDir>

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTimer>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

using namespace Reliability;

namespace {

// A tmpfs of our own: read-only, or so small that it fills up. Unmounted when it goes.
class ScratchMount final {
public:
    ScratchMount(const QString& path, unsigned long flags, const QByteArray& options)
        : mPath(QFile::encodeName(path))
    {
        if (::mount("tmpfs", mPath.constData(), "tmpfs", flags, options.constData()) == 0)
            mMounted = true;
        else
            mError = QString::fromLocal8Bit(std::strerror(errno));
    }
    ~ScratchMount()
    {
        if (mMounted)
            ::umount2(mPath.constData(), MNT_DETACH);
    }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool isMounted() const { return mMounted; }
    QString error() const { return mError; }

private:
    QByteArray mPath;
    bool mMounted = false;
    QString mError;
};

// The run folders in a base folder; each must be empty once the run is over.
QStringList runFolderLeftovers(const QString& base)
{
    QStringList left;
    for (const QString& name : Reliability::filesIn(base)) {
        if (name.startsWith("ferrowynd-scratch-") || name.startsWith("ferrowynd-office-"))
            continue;
        if (name.startsWith("ferrowynd-run-")) {
            for (const QString& inner : Reliability::filesIn(base + '/' + name))
                left << name + '/' + inner;
        } else if (name != "filler") {
            left << name;
        }
    }
    return left;
}

// Fills the folder's file system until it refuses another byte.
void fill(const QString& folder)
{
    QFile filler(folder + "/filler");
    if (!filler.open(QIODevice::WriteOnly))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size() && filler.flush()) { }
}

// The system clock, but the signal comes when the run takes today's date: in the middle of
// typing its cells.
class SignallingClock final : public RunClock {
public:
    explicit SignallingClock(int signal)
        : mSystem(RunClock::current())
        , mSignal(signal)
    {
        RunClock::install(this);
    }
    ~SignallingClock() override { RunClock::install(nullptr); }

    QDate today() override
    {
        if (!mSent)
            mSent = ::raise(mSignal) == 0;
        return mSystem.today();
    }
    qint64 nsecsSinceMidnight() override { return mSystem.nsecsSinceMidnight(); }
    void randomize(qint64 seed) override { mSystem.randomize(seed); }
    double rnd() override { return mSystem.rnd(); }

private:
    RunClock& mSystem;
    int mSignal;
    bool mSent = false;
};

// Runs the application's loop as main does, until something ends it; a loop nothing ends gives
// up after the limit with -1.
int runLoop()
{
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [] { QCoreApplication::exit(-1); });
    limit.start(180000);
    return QCoreApplication::exec();
}

} // namespace

// What the run meets in the world around it: the office missing or broken, the temporary folder
// missing, read-only, full or a link, an old "template.xlt", the result workbook gone before
// "Save". The run reports, never hangs, gives the window back, and the program stays usable.
class TestEnvironmentFaults : public QObject {
    Q_OBJECT

    QTemporaryDir mHome;
    QString mTemp;

    // After a failed run: the window given back, nothing left running, and with the fault
    // mended a next run that works.
    void checkRecovery(RunHarness& harness, ScriptedDialogs& dialogs)
    {
        QVERIFY(harness.form().updatesEnabled());
        QCOMPARE(harness.form().mousePointer(), Form1::MousePointer::Default);
        // At most the office kept for the next run.
        QVERIFY(officeChildren().size() <= 1);
        qputenv("TEMP", QFile::encodeName(mTemp));
        qunsetenv("FERROWYND_SOFFICE");
        harness.back();
        QVERIFY(harness.form().isVisible());
        dialogs.messages.clear();
        harness.startRun();
        QCOMPARE(dialogs.texts(), QStringList());
        Form2* preview = harness.preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!preview->picture().isNull());
        QCOMPARE(filesIn(::temporaryFolder()),
            QStringList { QFileInfo(preview->mExcelFile).fileName() });
        harness.back();
        QCOMPARE(filesIn(::temporaryFolder()), QStringList());
        QCOMPARE(officeChildren().size(), 1);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
        mTemp = temporaryFolder(mHome);
    }

    void cleanup()
    {
        qputenv("TEMP", QFile::encodeName(mTemp));
        qunsetenv("FERROWYND_SOFFICE");
        for (const QString& name : filesIn(::temporaryFolder()))
            QFile::remove(::temporaryFile(name));
    }

    void officeMissingAtStart()
    {
        qputenv("FERROWYND_SOFFICE", QFile::encodeName(mHome.filePath("nowhere/soffice.bin")));
        ScriptedDialogs dialogs;
        WarmOffice office;
        Form1 form({ {}, [&office] { return CheckExcelInstance(office); } });
        QVERIFY(!form.Form_Load());
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].text.startsWith(
            "Error 842001. A normal instance of Excel could not be created.\r\n\r\n"));
        QCOMPARE(dialogs.messages[0].title, applicationTitle());
        QCOMPARE(dialogs.messages[0].icon, Dialogs::Icon::None);
        QVERIFY(!form.isVisible());
        QCOMPARE(officeChildren(), QList<qint64>());
    }

    void officeGoneAfterStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("removed") << "nowhere/soffice.bin";
        QTest::newRow("ends at once") << "broken/soffice.bin";
    }

    void officeGoneAfterStart()
    {
        QFETCH(QString, program);
        QVERIFY(QDir().mkpath(mHome.filePath("broken")));
        QFile broken(mHome.filePath("broken/soffice.bin"));
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("#!/bin/sh\nexit 3\n");
        broken.close();
        broken.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

        ScriptedDialogs dialogs;
        RunHarness harness;
        qputenv("FERROWYND_SOFFICE", QFile::encodeName(mHome.filePath(program)));
        harness.startRun();
        const QList<Report> reported = reports(dialogs);
        const QList<int> lines = reportedLines(reported, "Form1.PushButton22_Click");
        qInfo() << lines << reportedLines(reported, "Excel1.saveCellsActivesheet")
                << reported.size();
        qInfo("%s", qPrintable(describe(reported.mid(0, 3))));
        checkRecovery(harness, dialogs);
    }

    void temporaryFolderFaults_data()
    {
        QTest::addColumn<QString>("fault");
        // The lines reported under Form1.PushButton22_Click; any one of the lists will do.
        QTest::addColumn<QList<QList<int>>>("outcomes");
        const QList<int> works;
        // Nothing for the later steps to work on: one report, no preview.
        const QList<int> noTemplate { 106 };
        const QList<int> noResult { 182 };
        QTest::newRow("missing") << "missing" << QList<QList<int>> { noTemplate };
        QTest::newRow("a file") << "file" << QList<QList<int>> { noTemplate };
        QTest::newRow("a dangling link") << "dangling" << QList<QList<int>> { noTemplate };
        QTest::newRow("a link to a folder") << "link" << QList<QList<int>> { works };
        QTest::newRow("read-only") << "read-only" << QList<QList<int>> { noTemplate };
        QTest::newRow("full") << "full" << QList<QList<int>> { noTemplate };
        QTest::newRow("room for the template only") << "small" << QList<QList<int>> { noResult };
        QTest::newRow("not set") << "unset" << QList<QList<int>> { works };
    }

    void temporaryFolderFaults()
    {
        QFETCH(QString, fault);
        QFETCH(QList<QList<int>>, outcomes);
        QTemporaryDir scratch;
        QVERIFY(scratch.isValid());
        const QString folder = scratch.filePath("temp");
        std::unique_ptr<ScratchMount> mount;
        if (fault == "file") {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else if (fault == "dangling") {
            QVERIFY(QFile::link(scratch.filePath("gone"), folder));
        } else if (fault == "link") {
            QVERIFY(QDir().mkpath(scratch.filePath("real")));
            QVERIFY(QFile::link(scratch.filePath("real"), folder));
        } else if (fault == "read-only" || fault == "full" || fault == "small") {
            QVERIFY(QDir().mkpath(folder));
            mount = std::make_unique<ScratchMount>(folder,
                fault == "read-only" ? static_cast<unsigned long>(MS_RDONLY) : 0UL,
                fault == "small" ? QByteArray("size=64k") : QByteArray("size=16k"));
            if (!mount->isMounted())
                QSKIP(qPrintable("a tmpfs cannot be mounted here: " + mount->error()));
            if (fault == "full")
                fill(folder);
        } else if (fault == "unset") {
            qputenv("TMPDIR", QFile::encodeName(scratch.path()));
        }

        ScriptedDialogs dialogs;
        RunHarness harness;
        if (fault == "unset")
            qunsetenv("TEMP");
        else
            qputenv("TEMP", QFile::encodeName(folder));
        harness.startRun();
        qunsetenv("TMPDIR");
        const QList<Report> reported = reports(dialogs);
        const QList<int> lines = reportedLines(reported, "Form1.PushButton22_Click");
        QVERIFY2(outcomes.contains(lines), qPrintable(describe(reported)));
        QCOMPARE(reported.size(), lines.size());
        // No result workbook, no preview.
        Form2* preview = harness.preview();
        QCOMPARE(preview && preview->isVisible(), lines.isEmpty());
        if (lines.contains(106))
            QVERIFY2(reported.first().description.contains(folder), qPrintable(describe(reported)));

        // "< Back" leaves nothing of the run behind, wherever the files went.
        if (preview)
            harness.back();
        const QString used = fault == "unset" ? scratch.path()
            : fault == "link"                 ? scratch.filePath("real")
                                              : folder;
        QStringList left = runFolderLeftovers(used);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(' ')));
        checkRecovery(harness, dialogs);
    }

    void templateLeftByAnEarlierRun_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QList<int>>("runLines");
        QFile embedded(":/CUSTOM/101");
        QVERIFY(embedded.open(QIODevice::ReadOnly));
        QTest::newRow("the same template, read-only") << embedded.readAll() << QList<int>();
        // Used unchanged as the design says (only one in the program's own folder can be there), so
        // it fails; the run removes it, so the next one writes a good one.
        QTest::newRow("a damaged one") << QByteArray("not a workbook at all") << QList<int> { 108 };
    }

    void templateLeftByAnEarlierRun()
    {
        QFETCH(QByteArray, content);
        QFETCH(QList<int>, runLines);
        QFile left(::temporaryFile("template.xlt"));
        QVERIFY(left.open(QIODevice::WriteOnly));
        QCOMPARE(left.write(content), content.size());
        left.close();
        QVERIFY(left.setPermissions(QFile::ReadOwner));

        ScriptedDialogs dialogs;
        RunHarness harness;
        harness.startRun();
        const QList<Report> reported = reports(dialogs);
        QCOMPARE(reportedLines(reported, "Form1.PushButton22_Click"), runLines);
        QVERIFY(!QFileInfo::exists(left.fileName()));
        checkRecovery(harness, dialogs);
    }

    // Files planted in a shared TEMP under the run's names are neither used, followed nor
    // written through, and stay as they were.
    void plantedFilesInTempAreLeftAlone_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("asLink");
        QTest::newRow("a planted template") << "template.xlt" << false;
        QTest::newRow("a link as the template") << "template.xlt" << true;
        QTest::newRow("a link as the picture") << "temp.bmp" << true;
    }

    void plantedFilesInTempAreLeftAlone()
    {
        QFETCH(QString, name);
        QFETCH(bool, asLink);
        QTemporaryDir elsewhere;
        const QString planted = mTemp + '/' + name;
        const QString target = elsewhere.filePath("target");
        if (asLink) {
            QVERIFY(QFile::link(target, planted));
        } else {
            QFile file(planted);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("someone else's formulas");
        }

        ScriptedDialogs dialogs;
        RunHarness harness;
        harness.startRun();
        QCOMPARE(dialogs.texts(), QStringList());
        Form2* preview = harness.preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(!preview->picture().isNull());
        QVERIFY(QFileInfo(preview->mExcelFile).absolutePath() != mTemp);
        if (asLink) {
            QCOMPARE(QFileInfo(planted).symLinkTarget(), target);
            QVERIFY(!QFileInfo::exists(target));
        } else {
            QFile file(planted);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QByteArray("someone else's formulas"));
        }
        harness.back();
        QVERIFY(QFile::remove(planted));
    }

    // Logout, a closed terminal, Ctrl+C: the inputs on disk, the windows and the office ended,
    // and nothing of the run left in TEMP, whether the run was under way or the preview showed.
    void signalEndsTheProgramInOrder_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<bool>("duringRun");
        QTest::newRow("SIGTERM during a run") << int(SIGTERM) << true;
        QTest::newRow("SIGTERM while the preview shows") << int(SIGTERM) << false;
        QTest::newRow("SIGHUP while the preview shows") << int(SIGHUP) << false;
        QTest::newRow("SIGINT during a run") << int(SIGINT) << true;
    }

    void signalEndsTheProgramInOrder()
    {
        QFETCH(int, signal);
        QFETCH(bool, duringRun);
        const QString temp = mHome.filePath("signalled");
        QVERIFY(QDir().mkpath(temp));
        qputenv("TEMP", QFile::encodeName(temp));
        int status = 0;
        int received = 0;
        {
            ScriptedDialogs dialogs;
            auto harness = std::make_unique<RunHarness>();
            const SignalExit signalExit([] { SettingsStore::flush(); });
            RunHarness::click(harness->form().PushButton7);
            std::unique_ptr<SignallingClock> clock;
            if (duringRun) {
                clock = std::make_unique<SignallingClock>(signal);
                QTimer::singleShot(0, &harness->form(), [&] { harness->startRun(); });
            } else {
                harness->startRun();
                QVERIFY(harness->preview() && harness->preview()->isVisible());
                QVERIFY(QFileInfo::exists(harness->preview()->mExcelFile));
                QTimer::singleShot(0, [signal] { ::raise(signal); });
            }
            status = runLoop();
            received = signalExit.received();
            QCOMPARE(SettingsStore::writer().written(), SettingsStore::writer().handedIn());
            // The way out of main: the windows, then the office, then the run's folder.
            harness.reset();
            QCOMPARE(officeChildren(), QList<qint64>());
        }
        removeTemporaryFolders();
        QCOMPARE(received, signal);
        QCOMPARE(status, 128 + signal);
        QCOMPARE(filesIn(temp), QStringList());
    }

    // With the settings file unwritable, the sample data's failed write is reported once under
    // the handler that stored it, and the close says which file and why, with its exit status.
    void unwritableSettingsAreReportedAfterTheSampleDataAndAtClose()
    {
        const QString file = SettingsStore::fileName();
        QFile::remove(file);
        // A folder in the file's place cannot be written, not even by root.
        QVERIFY(QDir().mkpath(file));
        ScriptedDialogs dialogs;
        int status = 0;
        {
            RunHarness harness;
            RunHarness::click(harness.form().PushButton7);
            QTRY_COMPARE(reports(dialogs).size(), 1);
            const Report report = reports(dialogs).first();
            QVERIFY2(report.procedure.startsWith("Form1.") && report.procedure.endsWith("_Change"),
                qPrintable(report.procedure));
            QCOMPARE(report.line, 100);
            QVERIFY2(report.description.contains(file), qPrintable(report.description));
            // The same failure again is not told again while typing goes on.
            harness.form().txtIncome(0)->setText("1234");
            QVERIFY(!SettingsStore::flush());
            QCoreApplication::processEvents();
            QCOMPARE(reports(dialogs).size(), 1);

            dialogs.messages.clear();
            QTimer::singleShot(0, &harness.form(), [&] { harness.form().close(); });
            status = runLoop();
            QCOMPARE(dialogs.messages.size(), 1);
            QVERIFY2(dialogs.messages[0].text.contains(file), qPrintable(dialogs.messages[0].text));
            QCOMPARE(dialogs.messages[0].icon, Dialogs::Icon::Warning);
            QVERIFY(QDir().rmdir(file));
        }
        QCOMPARE(status, Form1::exitInputsUnsaved);
        // Once the file can be written again nothing typed was dropped.
        QSettings onDisk(file, QSettings::IniFormat);
        QCOMPARE(onDisk.value("Ferrowynd/txtIncome0").toString(), QStringLiteral("1234"));
    }

    // "Save" after the result workbook went: the copy is reported, "Done." is not shown, and
    // nothing is written.
    void resultDeletedBeforeSave()
    {
        ScriptedDialogs dialogs;
        RunHarness harness;
        harness.startRun();
        Form2* preview = harness.preview();
        QVERIFY(preview && preview->isVisible());
        QVERIFY(QFile::remove(preview->mExcelFile));
        const QString target = mHome.filePath("estimate.xls");
        dialogs.savePaths << target;
        RunHarness::click(preview->PushButton6);

        const QList<Report> reported = reports(dialogs);
        QCOMPARE(reported.size(), 1);
        QCOMPARE(reported[0].procedure, "Form2.PushButton6_Click");
        QVERIFY2(reported[0].description.contains(preview->mExcelFile),
            qPrintable(reported[0].description));
        QVERIFY(!dialogs.texts().contains("Done."));
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(preview->isVisible());
        // "< Back" deletes nothing and says nothing.
        dialogs.messages.clear();
        harness.back();
        QCOMPARE(dialogs.texts(), QStringList());
        checkRecovery(harness, dialogs);
    }

    // The run folder goes before the temporary home that holds it.
    void cleanupTestCase() { removeTemporaryFolders(); }
};

QTEST_MAIN(TestEnvironmentFaults)
#include "tst_environmentfaults.moc"
