#include "app/applicationtitle.h"
#include "entry/form1.h"
#include "fakespreadsheet.h"
#include "scripteddialogs.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/officestartafterpaint.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstdio>
#include <unistd.h>

namespace {

const QString expectedMessage = QStringLiteral(
    "Error 842001. A normal instance of Excel could not be created.\r\n\r\n"
    "1. Please make sure Excel is installed on this computer.\r\n\r\n"
    "2. Please open Excel normally and make sure a blank spreadsheet opens immediately without "
    "any interrupting window (such as an Excel file recovery window).\r\n\r\n"
    "3. Please make sure that when you double-click on a XLS or XLSX file that Excel opens "
    "normally without any interrupting messages.\r\n\r\n"
    "4. All versions of Excel are supported by this software except for the rare Excel Starter "
    "and Student editions.");

// soffice.bin processes whose parent is this test.
QList<qint64> ownOffices()
{
    QList<qint64> found;
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QString text = QString::fromLocal8Bit(stat.readAll());
        // pid (comm) state ppid ...
        const int close = text.lastIndexOf(QLatin1Char(')'));
        const QStringList rest = text.mid(close + 2).split(QLatin1Char(' '));
        if (text.contains(QStringLiteral("(soffice.bin)")) && rest.size() > 1 && rest[1] == self)
            found << entry.toLongLong();
    }
    return found;
}

// Runs the check (and whatever follows it) with the standard error stream caught in a file.
template <typename Body> auto capturingErrors(QString& errors, Body&& body)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("stderr")));
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    FILE* file = std::fopen(path.constData(), "w");
    ::dup2(::fileno(file), STDERR_FILENO);
    const auto result = body();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::fclose(file);
    QFile captured(QFile::decodeName(path));
    captured.open(QIODevice::ReadOnly);
    errors = QString::fromLocal8Bit(captured.readAll());
    return result;
}

// Calls back on every paint of the widgets it watches.
class PaintSpy final : public QObject {
public:
    explicit PaintSpy(std::function<void()> painted)
        : mPainted(std::move(painted))
    {
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            mPainted();
        return false;
    }

private:
    std::function<void()> mPainted;
};

} // namespace

class TestCheckExcelInstance : public QObject {
    Q_OBJECT

private:
    QTemporaryDir mData;

private slots:
    void initTestCase()
    {
        QVERIFY(mData.isValid());
        qputenv("XDG_DATA_HOME", mData.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", mData.filePath(QStringLiteral("config")).toUtf8());
        setApplicationTitle(QStringLiteral("Ferrowynd"));
    }

    void cleanup() { qunsetenv("FERROWYND_SOFFICE"); }

    // A missing program is known at once, also while the start is held: the window is never
    // shown. One that fails to come up is known later: the same message, then the program's
    // event loop ends with status 1.
    void missingOfficeIsExplained_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("held");
        QTest::newRow("no program") << QByteArray() << false;
        QTest::newRow("program that fails") << QByteArray("#!/bin/sh\nexit 1\n") << false;
        QTest::newRow("no program, start held") << QByteArray() << true;
        QTest::newRow("program that fails, start held")
            << QByteArray("#!/bin/sh\nexit 1\n") << true;
    }

    void missingOfficeIsExplained()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, held);
        QTemporaryDir dir;
        const QString program = dir.filePath(QStringLiteral("soffice.bin"));
        if (!script.isEmpty()) {
            QFile file(program);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(script);
            file.close();
            file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
        qputenv("FERROWYND_SOFFICE", program.toUtf8());
        ScriptedDialogs dialogs;
        const auto office = createSpreadsheetOffice();
        if (held)
            office->holdStart();
        QString errors;
        bool checkAnswered = true;
        const int status = capturingErrors(errors, [&] {
            checkAnswered = CheckExcelInstance(*office);
            if (!checkAnswered)
                return 1;
            // The program's own loop: its end by the check is seen afresh in every row.
            QObject scope;
            if (held)
                QTimer::singleShot(0, &scope, [&] { office->releaseStart(); });
            QTimer::singleShot(30000, &scope, [] { QCoreApplication::exit(-1); });
            return QCoreApplication::exec();
        });
        QCOMPARE(status, 1);
        QCOMPARE(checkAnswered, !script.isEmpty());
        QCOMPARE(dialogs.messages.size(), 1);
        const ScriptedDialogs::Shown shown = dialogs.messages.constFirst();
        QCOMPARE(shown.text, expectedMessage);
        QCOMPARE(shown.title, applicationTitle());
        QCOMPARE(shown.icon, Dialogs::Icon::None);
        QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(errors.count(QLatin1Char('\n')), 1);
        QVERIFY(errors.contains(QStringLiteral("libreoffice-calc-nogui")));
    }

    // The check does not wait for the office: it comes up while the window shows and stays for
    // the runs, until its owner goes. A start still held when a run begins happens then.
    void realOfficeIsStartedAheadAndKept_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("started by the check") << false;
        QTest::newRow("start held until the run") << true;
    }

    void realOfficeIsStartedAheadAndKept()
    {
        QFETCH(bool, held);
        ScriptedDialogs dialogs;
        auto office = createSpreadsheetOffice();
        if (held)
            office->holdStart();
        QVERIFY(CheckExcelInstance(*office));
        QVERIFY(dialogs.messages.isEmpty());
        QCOMPARE(ownOffices().size(), held ? 0 : 1);
        QVERIFY(office->awaitStart());
        QVERIFY(office->newInstance());
        QVERIFY(dialogs.messages.isEmpty());
        office.reset();
        QCOMPARE(ownOffices(), QList<qint64>());
    }

    // On two processors the office's start would delay the main window's first paint: the
    // office starts in the turn of the event loop after that paint, the check still answering
    // before the window shows.
    void officeStartsAfterTheMainWindowsFirstPaint()
    {
        ScriptedDialogs dialogs;
        const auto office = createSpreadsheetOffice();
        office->holdStart();
        Form1 form({ {}, [&office] { return CheckExcelInstance(*office); } });
        QVERIFY(form.Form_Load());
        QCOMPARE(ownOffices().size(), 0);

        // Watches before the release does, so it sees each paint after the release's watch.
        QList<int> officesAtPaint;
        QList<int> officesAfterPaint;
        PaintSpy spy([&] {
            officesAtPaint << ownOffices().size();
            QTimer::singleShot(0, &form, [&] { officesAfterPaint << ownOffices().size(); });
        });
        form.installEventFilter(&spy);
        releaseOfficeStartAfterFirstPaint(form, *office);
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QTRY_VERIFY(!officesAfterPaint.isEmpty());
        QCOMPARE(officesAtPaint.constFirst(), 0);
        QCOMPARE(officesAfterPaint.constFirst(), 1);
        QVERIFY(office->awaitStart());
        QVERIFY(dialogs.messages.isEmpty());
        form.removeEventFilter(&spy);
    }

    // A run waits for the check's answer: an office that fails to come up ends the program
    // before the run begins.
    void officeFailingToComeUpIsExplainedBeforeARun()
    {
        FakeSpreadsheet::Office office;
        office.failsToComeUp = true;
        ScriptedDialogs dialogs;
        QVERIFY(CheckExcelInstance(office));
        QVERIFY(dialogs.messages.isEmpty());
        QString errors;
        QVERIFY(!capturingErrors(errors, [&] { return office.awaitStart(); }));
        QCOMPARE(dialogs.texts(), QStringList { expectedMessage });
        QCOMPARE(office.created, 0);
    }

    void failedStartIsExplained()
    {
        FakeSpreadsheet::Office office;
        office.startFails = true;
        ScriptedDialogs dialogs;
        QString errors;
        QVERIFY(!capturingErrors(errors, [&] { return CheckExcelInstance(office); }));
        QCOMPARE(dialogs.texts(), QStringList { expectedMessage });
    }
};

QTEST_MAIN(TestCheckExcelInstance)
#include "tst_checkexcelinstance.moc"
