#include "officeinstance.h"

#include "app/apperror.h"
#include "officeprofile.h"
#include "officeprogram.h"
#include "officewatchdog.h"
#include "ownedtemporaryfolder.h"
#include "unoconvert.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/ConnectionSetupException.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>

#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>
#include <utility>
#include <vector>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

constexpr int restartExitCode = 81;
constexpr int restartAfterUpdateExitCode = 79;
constexpr int maximumRestarts = 3;
constexpr int connectRetryMs = 5;
constexpr int terminateWaitMs = 3000;
constexpr int signalWaitMs = 2000;

// The in-process UNO environment, made once. It is never destroyed: at exit the UNO libraries
// may already be gone.
Reference<uno::XComponentContext> localContext()
{
    static const auto* context = [] {
        // Without it the office's services cannot be found and Desktop::create crashes.
        if (qEnvironmentVariableIsEmpty("URE_BOOTSTRAP"))
            qputenv("URE_BOOTSTRAP",
                QByteArrayLiteral(
                    "vnd.sun.star.pathname:" FERROWYND_OFFICE_PROGRAM_DIR "/fundamentalrc"));
        return new Reference<uno::XComponentContext>(
            officeCall(QStringLiteral("prepare its connection"),
                [] { return cppu::defaultBootstrap_InitialComponentContext(); }));
    }();
    return *context;
}

class BridgeListener final : public cppu::WeakImplHelper1<lang::XEventListener> {
public:
    explicit BridgeListener(std::shared_ptr<std::atomic_bool> gone)
        : mGone(std::move(gone))
    {
    }
    void SAL_CALL disposing(const lang::EventObject&) override { mGone->store(true); }

private:
    std::shared_ptr<std::atomic_bool> mGone;
};

QString uniquePipeName()
{
    // Socket paths are limited to 108 bytes, so the name stays short.
    return QStringLiteral("fw%1_%2")
        .arg(QCoreApplication::applicationPid())
        .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

Reference<container::XNameAccess> productSettings(
    const Reference<uno::XComponentContext>& context, bool forUpdate)
{
    const auto provider = configuration::theDefaultProvider::get(context);
    uno::Sequence<uno::Any> arguments(1);
    arguments.getArray()[0] <<= beans::NamedValue(
        rtl::OUString("nodepath"), uno::Any(rtl::OUString("/org.openoffice.Setup/Product")));
    const rtl::OUString service = forUpdate
        ? rtl::OUString("com.sun.star.configuration.ConfigurationUpdateAccess")
        : rtl::OUString("com.sun.star.configuration.ConfigurationAccess");
    return Reference<container::XNameAccess>(
        provider->createInstanceWithArguments(service, arguments), UNO_QUERY_THROW);
}

} // namespace

OfficeInstance::OfficeInstance(const Options& options)
    : OfficeInstance(options, true)
{
}

OfficeInstance::OfficeInstance(const Options& options, bool connectNow)
    : mProgram(options.program.isEmpty() ? requireOfficeProgram() : options.program)
    , mWatchdog(std::make_unique<OfficeWatchdog>(options.callTimeoutMs))
    , mStartTimeoutMs(options.startTimeoutMs)
    , mStartDeadline(options.startTimeoutMs)
    , mWarmUpDocument(options.warmUpDocument)
    , mBridgeGone(std::make_shared<std::atomic_bool>(false))
{
    const QFileInfo program(mProgram);
    if (!program.isFile() || !program.isExecutable())
        throw AppError(
            QStringLiteral("LibreOffice Calc is not installed: %1 was not found.").arg(mProgram));
    localContext();
    mProfile
        = std::make_unique<OfficeProfile>(options.profileBase, installedOfficeVersion(mProgram));
    try {
        launch();
    } catch (...) {
        quit();
        throw;
    }
    if (connectNow)
        finishStart();
}

void OfficeInstance::finishStart()
{
    while (!tryConnect())
        // Sleeps and notices an exit at the same time.
        mProcess->waitForFinished(connectRetryMs);
}

bool OfficeInstance::tryConnect()
{
    if (mDesktop.is())
        return true;
    if (mQuit)
        throw AppError(QStringLiteral("LibreOffice is no longer running."));
    try {
        if (!connectOnce())
            return false;
        const Guard guard(*this);
        recordVersionInProfile();
        return true;
    } catch (...) {
        quit();
        throw;
    }
}

bool OfficeInstance::isStarting()
{
    return !mQuit && !mDesktop.is() && mProcess && !processHasEnded();
}

OfficeInstance::~OfficeInstance()
{
    try {
        quit();
    } catch (...) {
        // A destructor must not throw; quit() has already done what it could.
    }
}

std::unique_ptr<OfficeInstance> OfficeInstance::start(const Options& options)
{
    return std::make_unique<OfficeInstance>(options);
}

std::unique_ptr<OfficeInstance> OfficeInstance::launchAhead(const Options& options)
{
    return std::unique_ptr<OfficeInstance>(new OfficeInstance(options, false));
}

void OfficeInstance::launch()
{
    mPipeName = uniquePipeName();
    const QString profileUrl = fromOUString(fileUrl(mProfile->folder()));
    mProcess = std::make_unique<QProcess>();
    mProcess->setProgram(mProgram);
    QStringList arguments { QStringLiteral("--headless"), QStringLiteral("--invisible"),
        QStringLiteral("--nodefault"), QStringLiteral("--nologo"), QStringLiteral("--norestore"),
        QStringLiteral("--nolockcheck"),
        QStringLiteral("--accept=pipe,name=%1;urp;StarOffice.ComponentContext").arg(mPipeName),
        QStringLiteral("-env:UserInstallation=%1").arg(profileUrl) };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Ours points at the linked libraries' installation; the office finds its own.
    environment.remove(QStringLiteral("URE_BOOTSTRAP"));
    if (!mScratch) {
        // A killed office cannot clear up its scratch files; a folder of its own lets us do it.
        // Without one the office uses the shared temporary folder as before.
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
    mProcess->setStandardErrorFile(mProfile->folder() + QStringLiteral("/office-errors.log"));
    const pid_t parent = ::getpid();
    mProcess->setChildProcessModifier([parent] {
        // Its own group, so that quit() can end whatever it spawned; and killed with us.
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
    mWatchdog->setProcessGroup(static_cast<pid_t>(mProcessId));
}

bool OfficeInstance::processHasEnded()
{
    if (!mProcess || mProcess->state() == QProcess::NotRunning)
        return true;
    return mProcess->waitForFinished(0);
}

bool OfficeInstance::connectOnce()
{
    const auto local = localContext();
    if (processHasEnded()) {
        const int code = mProcess->exitCode();
        const bool restart = mProcess->exitStatus() == QProcess::NormalExit
            && (code == restartExitCode || code == restartAfterUpdateExitCode);
        if (restart && mRestarts < maximumRestarts && !mStartDeadline.hasExpired()) {
            ++mRestarts;
            launch();
            return false;
        }
        const QString reason = mProcess->exitStatus() == QProcess::NormalExit
            ? QStringLiteral("exit code %1").arg(code)
            : QStringLiteral("it crashed");
        const QString detail = lastErrorLine();
        throw AppError(
            QStringLiteral("LibreOffice (%1) stopped while starting (%2).%3")
                .arg(mProgram, reason, detail.isEmpty() ? QString() : QLatin1Char(' ') + detail));
    }
    if (mStartDeadline.hasExpired())
        throw AppError(QStringLiteral("LibreOffice (%1) did not start within %2 seconds.")
                           .arg(mProgram)
                           .arg(mStartTimeoutMs / 1000.0));
    Reference<connection::XConnection> link;
    try {
        link = connection::Connector::create(local)->connect(
            toOUString(QStringLiteral("pipe,name=") + mPipeName));
    } catch (const connection::NoConnectException&) {
    } catch (const connection::ConnectionSetupException&) {
    }
    if (!link.is())
        return false;
    try {
        const Guard guard(*this);
        mBridge = bridge::BridgeFactory::create(local)->createBridge(
            rtl::OUString(), rtl::OUString("urp"), link, {});
        Reference<lang::XComponent>(mBridge, UNO_QUERY_THROW)
            ->addEventListener(new BridgeListener(mBridgeGone));
        mContext.set(
            mBridge->getInstance(rtl::OUString("StarOffice.ComponentContext")), UNO_QUERY_THROW);
        mDesktop = frame::Desktop::create(mContext);
        return true;
    } catch (const uno::RuntimeException&) {
        // The office went away between accepting and answering: a restart request.
        mContext.clear();
        mDesktop.clear();
        if (mBridge.is())
            Reference<lang::XComponent>(mBridge, UNO_QUERY_THROW)->dispose();
        mBridge.clear();
        mBridgeGone->store(false);
        return false;
    }
}

void OfficeInstance::recordVersionInProfile()
{
    // Seeding usually did this already; when the installed version could not be read, the
    // office itself is asked so that the next start is quick.
    const QString running = version();
    auto product = officeCall(
        QStringLiteral("read its settings"), [&] { return productSettings(mContext, true); });
    officeCall(QStringLiteral("update its settings"), [&] {
        rtl::OUString last;
        product->getByName(rtl::OUString("ooSetupLastVersion")) >>= last;
        if (fromOUString(last) == running)
            return;
        Reference<container::XNameReplace>(product, UNO_QUERY_THROW)
            ->replaceByName(rtl::OUString("ooSetupLastVersion"), uno::Any(toOUString(running)));
        Reference<util::XChangesBatch>(product, UNO_QUERY_THROW)->commitChanges();
    });
}

Reference<uno::XComponentContext> OfficeInstance::context()
{
    if (!isAlive())
        throw AppError(QStringLiteral("LibreOffice is no longer running."));
    return mContext;
}

Reference<frame::XDesktop2> OfficeInstance::desktop()
{
    if (!isAlive())
        throw AppError(QStringLiteral("LibreOffice is no longer running."));
    return mDesktop;
}

OfficeInstance::Guard::Guard(OfficeInstance& office)
    : mOffice(office)
{
    mOffice.mWatchdog->arm();
}

OfficeInstance::Guard::~Guard()
{
    mOffice.mWatchdog->disarm();
}

bool OfficeInstance::wasStuck() const
{
    return mWatchdog->fired();
}

int OfficeInstance::callTimeoutMs() const
{
    return mWatchdog->limitMs();
}

QString OfficeInstance::version()
{
    if (mVersion.isEmpty()) {
        const Guard guard(*this);
        const auto ctx = context();
        mVersion = officeCall(QStringLiteral("tell its version"), [&] {
            rtl::OUString text;
            productSettings(ctx, false)->getByName(rtl::OUString("ooSetupVersion")) >>= text;
            return fromOUString(text);
        });
    }
    return mVersion;
}

bool OfficeInstance::isAlive()
{
    if (mQuit || !mDesktop.is())
        return false;
    if (processHasEnded()) {
        removeLeftovers();
        return false;
    }
    return !mBridgeGone->load();
}

void OfficeInstance::removeLeftovers()
{
    // A process that would not die might still write there: its files are left alone.
    if (mScratch && !processHasEnded())
        mScratch->keep();
    mScratch.reset();
}

QString OfficeInstance::profileFolder() const
{
    return mProfile ? mProfile->folder() : QString();
}

void OfficeInstance::quit()
{
    if (mQuit)
        return;
    mQuit = true;
    bool terminating = false;
    if (mDesktop.is() && !mBridgeGone->load()) {
        const Guard guard(*this);
        try {
            const auto documents = mDesktop->getComponents()->createEnumeration();
            while (documents->hasMoreElements()) {
                const Reference<util::XCloseable> document(documents->nextElement(), UNO_QUERY);
                if (document.is())
                    document->close(true);
            }
        } catch (const uno::Exception&) {
            // The office is ended below in any case.
        }
        try {
            terminating = true;
            mDesktop->terminate();
        } catch (const uno::Exception&) {
            // A DisposedException is the usual answer of a terminating office.
        }
    }
    mDesktop.clear();
    mContext.clear();
    if (mBridge.is()) {
        try {
            Reference<lang::XComponent>(mBridge, UNO_QUERY_THROW)->dispose();
        } catch (const uno::Exception&) {
        }
        mBridge.clear();
    }
    if (mProcess)
        stopProcess(*mProcess, terminating ? terminateWaitMs : 0);
    removeLeftovers();
    mProfile.reset();
}

void OfficeInstance::stopProcess(QProcess& process, int graceMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    if (process.waitForFinished(graceMs))
        return;
    const pid_t group = static_cast<pid_t>(process.processId());
    ::kill(-group, SIGTERM);
    if (process.waitForFinished(signalWaitMs))
        return;
    ::kill(-group, SIGKILL);
    process.waitForFinished(signalWaitMs);
}

QString OfficeInstance::lastErrorLine() const
{
    QFile log(mProfile ? mProfile->folder() + QStringLiteral("/office-errors.log") : QString());
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    const QList<QByteArray> lines = log.readAll().trimmed().split('\n');
    return QString::fromLocal8Bit(lines.constLast()).trimmed();
}
