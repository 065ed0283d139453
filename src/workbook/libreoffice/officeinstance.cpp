#include "officeinstance.h"

#include "app/apperror.h"
#include "officeconnection.h"
#include "officeprocess.h"
#include "officeprofile.h"
#include "officeprogram.h"
#include "officewatchdog.h"
#include "unoconvert.h"

#include <QFileInfo>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameReplace.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/util/XChangesBatch.hpp>
#include <com/sun/star/util/XCloseable.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

constexpr int maximumRestarts = 3;
constexpr int connectRetryMs = 5;
constexpr int terminateWaitMs = 3000;

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
    : mProgram(requireProgram(options))
    , mStartTimeoutMs(options.startTimeoutMs)
    , mStartDeadline(options.startTimeoutMs)
    , mWatchdog(std::make_unique<OfficeWatchdog>(options.callTimeoutMs))
    , mConnection(std::make_unique<OfficeConnection>())
{
    OfficeConnection::localContext();
    mProfile
        = std::make_unique<OfficeProfile>(options.profileBase, installedOfficeVersion(mProgram));
    mProcess
        = std::make_unique<OfficeProcess>(mProgram, mProfile->folder(), options.warmUpDocument);
    try {
        mProcess->launch();
        mWatchdog->setProcessGroup(static_cast<pid_t>(mProcess->processId()));
    } catch (...) {
        quit();
        throw;
    }
    if (connectNow)
        finishStart();
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

QString OfficeInstance::requireProgram(const Options& options)
{
    const QString path = options.program.isEmpty() ? requireOfficeProgram() : options.program;
    const QFileInfo program(path);
    if (!program.isFile() || !program.isExecutable())
        throw AppError(
            QStringLiteral("LibreOffice Calc is not installed: %1 was not found.").arg(path));
    return path;
}

std::unique_ptr<OfficeInstance> OfficeInstance::launchAhead(const Options& options)
{
    return std::unique_ptr<OfficeInstance>(new OfficeInstance(options, false));
}

void OfficeInstance::finishStart()
{
    while (!tryConnect())
        mProcess->wait(connectRetryMs);
}

bool OfficeInstance::tryConnect()
{
    if (mConnection->isConnected())
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

bool OfficeInstance::connectOnce()
{
    if (mProcess->hasEnded()) {
        if (mProcess->askedForRestart() && mRestarts < maximumRestarts
            && !mStartDeadline.hasExpired()) {
            ++mRestarts;
            mProcess->launch();
            mWatchdog->setProcessGroup(static_cast<pid_t>(mProcess->processId()));
            return false;
        }
        const QString detail = mProcess->lastErrorLine();
        throw AppError(QStringLiteral("LibreOffice (%1) stopped while starting (%2).%3")
                           .arg(mProgram, mProcess->endReason(),
                               detail.isEmpty() ? QString() : QLatin1Char(' ') + detail));
    }
    if (mStartDeadline.hasExpired())
        throw AppError(QStringLiteral("LibreOffice (%1) did not start within %2 seconds.")
                           .arg(mProgram)
                           .arg(mStartTimeoutMs / 1000.0));
    const Guard guard(*this);
    return mConnection->tryConnect(mProcess->pipeName());
}

bool OfficeInstance::isStarting()
{
    return !mQuit && !mConnection->isConnected() && !mProcess->hasEnded();
}

void OfficeInstance::recordVersionInProfile()
{
    // Seeding usually did this already; when the installed version could not be read, the
    // office itself is asked so that the next start is quick.
    const QString running = version();
    auto product = officeCall(QStringLiteral("read its settings"),
        [&] { return productSettings(mConnection->context(), true); });
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
    return mConnection->context();
}

Reference<frame::XDesktop2> OfficeInstance::desktop()
{
    if (!isAlive())
        throw AppError(QStringLiteral("LibreOffice is no longer running."));
    return mConnection->desktop();
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
    if (mQuit || !mConnection->isConnected())
        return false;
    if (mProcess->hasEnded()) {
        // Its scratch files go at once.
        mProcess->stop(0);
        return false;
    }
    return !mConnection->isGone();
}

qint64 OfficeInstance::processId() const
{
    return mProcess ? mProcess->processId() : 0;
}

QString OfficeInstance::profileFolder() const
{
    return mProfile ? mProfile->folder() : QString();
}

void OfficeInstance::closeDocuments()
{
    const auto documents = mConnection->desktop()->getComponents()->createEnumeration();
    while (documents->hasMoreElements()) {
        const Reference<util::XCloseable> document(documents->nextElement(), UNO_QUERY);
        if (document.is())
            document->close(true);
    }
}

void OfficeInstance::quit()
{
    if (mQuit)
        return;
    mQuit = true;
    bool terminating = false;
    if (mConnection->isConnected() && !mConnection->isGone()) {
        const Guard guard(*this);
        const auto desktop = mConnection->desktop();
        try {
            closeDocuments();
        } catch (const uno::Exception&) {
            // The office is ended below in any case.
        }
        try {
            terminating = true;
            desktop->terminate();
        } catch (const uno::Exception&) {
            // A DisposedException is the usual answer of a terminating office.
        }
    }
    mConnection->close();
    if (mProcess)
        mProcess->stop(terminating ? terminateWaitMs : 0);
    mProfile.reset();
}
