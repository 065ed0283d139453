#include "officeprocess.h"

#include "app/apperror.h"
#include "app/ownedtemporaryfolder.h"
#include "unoconvert.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace {

constexpr int restartExitCode = 81;
constexpr int restartAfterUpdateExitCode = 79;
constexpr int signalWaitMs = 2000;

QString uniquePipeName()
{
    // Socket paths are limited to 108 bytes, so the name stays short. The program's process id
    // tells whose the socket is.
    return QStringLiteral("fw%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

// Where the office's runtime puts the socket of a named pipe: /tmp, or /var/tmp when /tmp cannot
// be written to, as OSL_PIPE_<user id>_<name>.
const char* const pipeFolders[] = { "/tmp", "/var/tmp" };

QString socketPrefix()
{
    return QStringLiteral("OSL_PIPE_%1_").arg(::getuid());
}

} // namespace

OfficeProcess::OfficeProcess(
    const QString& program, const QString& profileFolder, const QString& warmUpDocument)
    : mProgram(program)
    , mProfileFolder(profileFolder)
    , mWarmUpDocument(warmUpDocument)
{
}

OfficeProcess::~OfficeProcess()
{
    stop(0);
}

void OfficeProcess::launch()
{
    mPipeName = uniquePipeName();
    mProcess = std::make_unique<QProcess>();
    mProcess->setProgram(mProgram);
    QStringList arguments { QStringLiteral("--headless"), QStringLiteral("--invisible"),
        QStringLiteral("--nodefault"), QStringLiteral("--nologo"), QStringLiteral("--norestore"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(mPipeName),
        QStringLiteral("-env:UserInstallation=%1").arg(fromOUString(fileUrl(mProfileFolder))) };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Ours points at the linked libraries' installation; the office finds its own.
    environment.remove(QStringLiteral("URE_BOOTSTRAP"));
    // A warm office loads and draws a workbook per run: with a fixed threshold its large buffers
    // are mapped on their own and go back to the system when freed, instead of piling up in the
    // heap from run to run (about 30 MB less after a dozen runs).
    environment.insert(QStringLiteral("MALLOC_MMAP_THRESHOLD_"), QStringLiteral("131072"));
    environment.insert(QStringLiteral("MALLOC_TRIM_THRESHOLD_"), QStringLiteral("131072"));
    if (!mScratch) {
        // Without a folder of its own the office uses the shared temporary folder.
        auto scratch = std::make_unique<OwnedTemporaryFolder>(QStringLiteral("ferrowynd-scratch"));
        if (scratch->isValid())
            mScratch = std::move(scratch);
    }
    if (mScratch) {
        for (const char* name : { "TMPDIR", "TMP", "TEMP" })
            environment.insert(QLatin1String(name), mScratch->path());
        // A copy of its own, so that a resource or a file that goes away meanwhile serves too.
        const QString warmUp = mScratch->filePath(QStringLiteral("warm-up.xlt"));
        if (!mWarmUpDocument.isEmpty()
            && (QFileInfo::exists(warmUp) || QFile::copy(mWarmUpDocument, warmUp)))
            arguments << fromOUString(fileUrl(warmUp));
    }
    mProcess->setArguments(arguments);
    mProcess->setProcessEnvironment(environment);
    mProcess->setStandardOutputFile(QProcess::nullDevice());
    mProcess->setStandardErrorFile(mProfileFolder + QStringLiteral("/office-errors.log"));
    const pid_t parent = ::getpid();
    mProcess->setChildProcessModifier([parent] {
        // Its own group, so that stop() can end whatever it spawned; and killed with us.
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
    mProcess->start();
    if (!mProcess->waitForStarted(5000))
        throw AppError(QStringLiteral("LibreOffice (%1) could not be started: %2")
                           .arg(mProgram, mProcess->errorString()));
    mProcessId = mProcess->processId();
}

bool OfficeProcess::hasEnded()
{
    if (!mProcess || mProcess->state() == QProcess::NotRunning)
        return true;
    return mProcess->waitForFinished(0);
}

bool OfficeProcess::askedForRestart()
{
    if (!hasEnded() || !mProcess || mProcess->exitStatus() != QProcess::NormalExit)
        return false;
    const int code = mProcess->exitCode();
    return code == restartExitCode || code == restartAfterUpdateExitCode;
}

QString OfficeProcess::endReason() const
{
    if (mProcess && mProcess->exitStatus() == QProcess::CrashExit)
        return QStringLiteral("it crashed");
    return QStringLiteral("exit code %1").arg(mProcess ? mProcess->exitCode() : -1);
}

QString OfficeProcess::lastErrorLine() const
{
    QFile log(mProfileFolder + QStringLiteral("/office-errors.log"));
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    return QString::fromLocal8Bit(lines.constLast()).trimmed();
}

void OfficeProcess::wait(int ms)
{
    if (mProcess)
        mProcess->waitForFinished(ms);
}

void OfficeProcess::stop(int graceMs)
{
    if (mProcess && mProcess->state() != QProcess::NotRunning
        && !mProcess->waitForFinished(graceMs)) {
        const pid_t group = static_cast<pid_t>(mProcess->processId());
        ::kill(-group, SIGTERM);
        if (!mProcess->waitForFinished(signalWaitMs)) {
            ::kill(-group, SIGKILL);
            mProcess->waitForFinished(signalWaitMs);
        }
    }
    // A process that would not die might still write there: its files are left alone.
    const bool ended = hasEnded();
    if (mScratch && !ended)
        mScratch->keep();
    mScratch.reset();
    if (ended && !mPipeName.isEmpty())
        for (const char* folder : pipeFolders)
            QFile::remove(QLatin1String(folder) + QLatin1Char('/') + socketPrefix() + mPipeName);
}

int OfficeProcess::removeAbandonedPipes()
{
    const QRegularExpression ours(
        QStringLiteral("^%1fw(\\d+)_[0-9a-f]+$").arg(QRegularExpression::escape(socketPrefix())));
    int removed = 0;
    for (const char* folder : pipeFolders) {
        const QDir pipes { QString::fromLatin1(folder) };
        const QStringList names = pipes.entryList(
            { socketPrefix() + QStringLiteral("fw*") }, QDir::System | QDir::Files | QDir::Hidden);
        for (const QString& name : names) {
            const QRegularExpressionMatch match = ours.match(name);
            if (!match.hasMatch())
                continue;
            const pid_t program = static_cast<pid_t>(match.captured(1).toLongLong());
            const bool programEnded = ::kill(program, 0) != 0 && errno == ESRCH;
            if (programEnded && QFile::remove(pipes.filePath(name)))
                ++removed;
        }
    }
    return removed;
}
