#include "warmoffice.h"

#include "app/apperror.h"
#include "app/ownedtemporaryfolder.h"
#include "libreofficespreadsheet.h"
#include "officeprocess.h"
#include "unoconvert.h"

#include <utility>

namespace {

constexpr int connectPollMs = 10;
constexpr int defaultIdleSeconds = 600;

// Whatever a session before left open, and the workbook the office opened as it started: a new
// run sees nothing of an earlier one.
void closeEveryDocument(OfficeInstance& office)
{
    const OfficeInstance::Guard guard(office);
    officeCall(
        QStringLiteral("close the workbooks of an earlier run"), [&] { office.closeDocuments(); });
}

} // namespace

WarmOffice::WarmOffice(const OfficeOptions& options, int idleMs)
    : mOptions(options)
    , mIdle(
          idleMs, [this] { return mOffice.use_count(); }, [this] { mOffice.reset(); })
{
    mConnectPoll.setInterval(connectPollMs);
    QObject::connect(&mConnectPoll, &QTimer::timeout, [this] { poll(); });
    // What offices of killed programs left behind goes once the program is under way, and
    // after a held start, with it.
    QTimer::singleShot(0, &mConnectPoll, [this] {
        if (mStartHeld)
            mLeftoversWaiting = true;
        else
            removeLeftovers();
    });
}

void WarmOffice::removeLeftovers()
{
    OwnedTemporaryFolder::removeAbandoned(
        { QStringLiteral("ferrowynd-scratch"), QStringLiteral("ferrowynd-office") });
    OfficeProcess::removeAbandonedPipes();
}

WarmOffice::~WarmOffice()
{
    mConnectPoll.stop();
    mIdle.stop();
    // A session that still holds the office ends it when it goes.
    mOffice.reset();
}

int WarmOffice::idleTimeMs()
{
    bool ok = false;
    const double seconds = qEnvironmentVariable("FERROWYND_OFFICE_IDLE_S").toDouble(&ok);
    if (!ok || !(seconds > 0) || seconds > 86400.0 * 24)
        return defaultIdleSeconds * 1000;
    return qMax(1, qRound(seconds * 1000));
}

void WarmOffice::dropDeadOffice()
{
    if (mOffice && !mOffice->isAlive() && !mOffice->isStarting()) {
        mConnectPoll.stop();
        mOffice.reset();
    }
}

void WarmOffice::startAhead()
{
    dropDeadOffice();
    if (mOffice)
        return;
    if (mStartHeld) {
        // Whether there is an office to start at all is known at once.
        OfficeInstance::requireProgram(mOptions);
        mStartAsked = true;
        return;
    }
    mOffice = OfficeInstance::launchAhead(mOptions);
    mConnectPoll.start();
}

void WarmOffice::holdStart()
{
    mStartHeld = true;
}

void WarmOffice::releaseStart()
{
    if (mStartHeld)
        startHeld();
}

bool WarmOffice::startHeld()
{
    mStartHeld = false;
    if (std::exchange(mLeftoversWaiting, false))
        removeLeftovers();
    if (!std::exchange(mStartAsked, false))
        return true;
    try {
        startAhead();
        return true;
    } catch (const AppError&) {
        const bool reported = bool(mStartFailure);
        startFailed();
        return !reported;
    }
}

void WarmOffice::poll()
{
    if (!mOffice) {
        mConnectPoll.stop();
        return;
    }
    try {
        if (!mOffice->tryConnect())
            return;
        mConnectPoll.stop();
        cameUp();
    } catch (const AppError&) {
        mConnectPoll.stop();
        mOffice.reset();
        startFailed();
    }
}

void WarmOffice::cameUp()
{
    // An office that answered can no longer fail to start; its time without use begins.
    mStartFailure = nullptr;
    mIdle.restart();
}

void WarmOffice::startFailed()
{
    // The handler may end the program; it runs once.
    const std::function<void()> handler = std::move(mStartFailure);
    mStartFailure = nullptr;
    if (handler)
        handler();
}

void WarmOffice::setStartFailureHandler(std::function<void()> handler)
{
    mStartFailure = std::move(handler);
}

bool WarmOffice::awaitStart()
{
    if (mStartHeld && !startHeld())
        return false;
    if (!mOffice || !mOffice->isStarting())
        return true;
    mConnectPoll.stop();
    try {
        mOffice->finishStart();
        cameUp();
        return true;
    } catch (const AppError&) {
        mOffice.reset();
        if (!mStartFailure)
            return true;
        startFailed();
        return false;
    }
}

std::unique_ptr<SpreadsheetApplication> WarmOffice::newInstance()
{
    mConnectPoll.stop();
    for (;;) {
        dropDeadOffice();
        const bool wasWarm = mOffice && mOffice->isAlive();
        if (!mOffice)
            mOffice = OfficeInstance::launchAhead(mOptions);
        try {
            mOffice->finishStart();
            // Sessions of one run follow each other; the office is all theirs.
            if (mOffice.use_count() == 1)
                closeEveryDocument(*mOffice);
            break;
        } catch (const AppError&) {
            mOffice.reset();
            // A warm office may have died a moment ago, unnoticed: a fresh one is tried.
            if (!wasWarm)
                throw;
        }
    }
    cameUp();
    return std::make_unique<LibreOfficeSpreadsheet>(mOffice);
}

void WarmOffice::runEnded()
{
    // The office keeps caches that grow over the first few dozen runs; past the limit it goes,
    // and the next one comes up in the background while the user looks at the preview.
    if (!mOffice || mOffice.use_count() > 1 || !mOffice->isAlive() || mOffice->isStarting()
        || residentBytes(mOffice->processId()) <= mMemoryLimit)
        return;
    mIdle.stop();
    mOffice.reset();
    try {
        startAhead();
    } catch (const AppError&) {
        // The next run starts one and reports when it cannot.
    }
}

qint64 WarmOffice::processId() const
{
    return mOffice ? mOffice->processId() : 0;
}
