#include "app/applicationtitle.h"
#include "fakespreadsheet.h"
#include "scripteddialogs.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/spreadsheetapplication.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

// Runs the check with the standard error stream caught in a file.
bool checkCapturingErrors(QString& errors)
{
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("stderr")));
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    FILE* file = std::fopen(path.constData(), "w");
    ::dup2(::fileno(file), STDERR_FILENO);
    const bool result = CheckExcelInstance();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::fclose(file);
    QFile captured(QFile::decodeName(path));
    captured.open(QIODevice::ReadOnly);
    errors = QString::fromLocal8Bit(captured.readAll());
    return result;
}

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
        setApplicationTitle(QStringLiteral("Ferrowynd"));
    }

    void cleanup() { qunsetenv("FERROWYND_SOFFICE"); }

    void missingOfficeIsExplained_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::newRow("no program") << QByteArray();
        QTest::newRow("program that fails") << QByteArray("#!/bin/sh\nexit 1\n");
    }

    void missingOfficeIsExplained()
    {
        QFETCH(QByteArray, script);
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
        QString errors;
        QVERIFY(!checkCapturingErrors(errors));
        QCOMPARE(dialogs.messages.size(), 1);
        const ScriptedDialogs::Shown shown = dialogs.messages.constFirst();
        QCOMPARE(shown.text, expectedMessage);
        QCOMPARE(shown.title, applicationTitle());
        QCOMPARE(shown.icon, Dialogs::Icon::None);
        QCOMPARE(shown.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(errors.count(QLatin1Char('\n')), 1);
        QVERIFY(errors.contains(QStringLiteral("libreoffice-calc-nogui")));
    }

    void realOfficeIsFoundAndEndedAgain()
    {
        {
            // The process listing does see a running office.
            const std::unique_ptr<SpreadsheetApplication> running = createSpreadsheetApplication();
            QCOMPARE(ownOffices().size(), 1);
        }
        ScriptedDialogs dialogs;
        QVERIFY(CheckExcelInstance());
        QVERIFY(dialogs.messages.isEmpty());
        // The check does not wait for the office to end; the program reaps it once its window
        // is up.
        waitForQuitSpreadsheets();
        QCOMPARE(ownOffices(), QList<qint64>());
    }

    void checkedInstanceIsQuit()
    {
        FakeSpreadsheet::Office office;
        ScriptedDialogs dialogs;
        QVERIFY(CheckExcelInstance());
        QCOMPARE(office.created, 1);
        QCOMPARE(office.running, 0);
        QVERIFY(office.calls.contains(QStringLiteral("1:quit")));
        QVERIFY(dialogs.messages.isEmpty());
    }

    void failedCreationIsExplained()
    {
        FakeSpreadsheet::Office office;
        office.failingCreations = { 1 };
        ScriptedDialogs dialogs;
        QVERIFY(!CheckExcelInstance());
        QCOMPARE(dialogs.texts(), QStringList { expectedMessage });
    }
};

QTEST_MAIN(TestCheckExcelInstance)
#include "tst_checkexcelinstance.moc"
