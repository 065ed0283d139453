#include "runharness.h"

#include "app/processsettings.h"
#include "app/product.h"
#include "preview/form2.h"
#include "workbook/generationwiring.h"
#include "workbook/libreoffice/warmoffice.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>
#include <QtTest>
#include <malloc.h>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__)
// The sanitizer's own allocator keeps the heap; GCC ships no header that declares this.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// Fields of /proc/<pid>/stat after the command: state first, then the parent.
QStringList statFields(const QString& pid, QString* command = nullptr)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QString line = QString::fromLatin1(stat.readAll());
    const int open = line.indexOf(QLatin1Char('('));
    const int close = line.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {};
    if (command)
        *command = line.mid(open + 1, close - open - 1);
    return line.mid(close + 2).split(QLatin1Char(' '));
}

} // namespace

namespace Reliability {

void setUpProcess(const QTemporaryDir& home)
{
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home.filePath(QStringLiteral("config"))));
    qputenv("HOME", QFile::encodeName(home.path()));
    qputenv("TEMP", QFile::encodeName(temporaryFolder(home)));
    QDir().mkpath(temporaryFolder(home));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

QString temporaryFolder(const QTemporaryDir& home)
{
    return home.filePath(QStringLiteral("temp"));
}

QList<Report> reports(const ScriptedDialogs& dialogs)
{
    static const QRegularExpression shape(
        QStringLiteral("^(.*)\\r\\n%1(\\S+) at line (\\d+)\\r\\r")
            .arg(QRegularExpression::escape(Product::reportStamp)),
        QRegularExpression::DotMatchesEverythingOption);
    QList<Report> result;
    for (const ScriptedDialogs::Shown& shown : dialogs.messages) {
        if (shown.title != QLatin1String("Application Error"))
            continue;
        const QRegularExpressionMatch match = shape.match(shown.text);
        if (match.hasMatch())
            result.append({ match.captured(1), match.captured(2), match.captured(3).toInt() });
        else
            result.append({ shown.text, QStringLiteral("?"), -1 });
    }
    return result;
}

QList<int> reportedLines(const QList<Report>& reports, const QString& procedure)
{
    QList<int> lines;
    for (const Report& report : reports) {
        if (report.procedure == procedure && !lines.contains(report.line))
            lines.append(report.line);
    }
    return lines;
}

QString describe(const QList<Report>& reports)
{
    QStringList lines;
    for (const Report& report : reports)
        lines << QStringLiteral("%1 %2: %3")
                     .arg(report.procedure)
                     .arg(report.line)
                     .arg(report.description);
    return lines.join(QLatin1Char('\n'));
}

QList<qint64> officeChildren()
{
    QList<qint64> pids;
    const QStringList entries
        = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        QString command;
        const QStringList fields = statFields(entry, &command);
        if (command == QLatin1String("soffice.bin") && fields.size() > 1
            && fields.at(1).toLongLong() == ::getpid())
            pids.append(entry.toLongLong());
    }
    return pids;
}

bool waitUntilDead(qint64 pid, int limitMs)
{
    for (int waited = 0; waited <= limitMs; waited += 5) {
        const QStringList fields = statFields(QString::number(pid));
        if (fields.isEmpty() || fields.at(0) == QLatin1String("Z")
            || fields.at(0) == QLatin1String("X"))
            return true;
        QThread::msleep(5);
    }
    return false;
}

qint64 residentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

qint64 heapInUseBytes()
{
#if defined(__SANITIZE_ADDRESS__)
    return static_cast<qint64>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<qint64>(info.uordblks + info.hblkhd);
#endif
}

QStringList filesIn(const QString& folder)
{
    QStringList entries = QDir(folder).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
    entries.removeAll(QStringLiteral("owner.lock"));
    return entries;
}

} // namespace Reliability

RunHarness::RunHarness()
    : mOffice(std::make_unique<WarmOffice>())
    , mForm(std::make_unique<Form1>())
{
    // As the program's start makes them: a killed office must not take the test down.
    applyProcessSettings();
    if (!mForm->Form_Load())
        qWarning("the main window's start-up refused to show it");
    mWiring = connectGenerationRun(*mForm, *mOffice);
    mForm->show();
    QApplication::setActiveWindow(mForm.get());
    if (!QTest::qWaitForWindowActive(mForm.get()))
        qWarning("the main window did not become active");
    QCoreApplication::processEvents();
}

RunHarness::~RunHarness()
{
    mForm.reset();
    mOffice.reset();
}

Form2* RunHarness::preview() const
{
    return mWiring->preview();
}

void RunHarness::click(QWidget* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

void RunHarness::startRun()
{
    click(mForm->PushButton22);
}

void RunHarness::back()
{
    if (Form2* shown = preview(); shown && shown->isVisible())
        click(shown->PushButton8);
}
