#include "settingswriter.h"

#include "errortrap.h"

#include <QThread>
#include <algorithm>

SettingsWriter::SettingsWriter(WriteValues writeValues)
    : mWriteValues(std::move(writeValues))
{
    mThread = QThread::create([this] { run(); });
    // Names the thread for debuggers and traces.
    mThread->setObjectName(QStringLiteral("settingswriter"));
    mThread->start();
}

SettingsWriter::~SettingsWriter()
{
    flush();
    {
        const QMutexLocker lock(&mMutex);
        mStopping = true;
        mWork.wakeAll();
    }
    mThread->wait();
    delete mThread;
}

void SettingsWriter::write(const QString& key, const QString& value)
{
    const QMutexLocker lock(&mMutex);
    mWaiting.insert(key, { value, ++mHandedIn });
    mAsked = true;
    mWork.wakeOne();
}

std::optional<QString> SettingsWriter::unwritten(const QString& key) const
{
    const QMutexLocker lock(&mMutex);
    for (const Values* values : { &mWaiting, &mTaken }) {
        const auto found = values->constFind(key);
        if (found != values->constEnd())
            return found->text;
    }
    return std::nullopt;
}

bool SettingsWriter::flush()
{
    QMutexLocker lock(&mMutex);
    const quint64 target = mHandedIn;
    if (mWritten >= target)
        return true;
    // An attempt that begins after this call takes every value handed in so far.
    const quint64 startedBefore = mAttemptsStarted;
    mAsked = true;
    mWork.wakeOne();
    while (mWritten < target && mAttemptsEnded <= startedBefore
        && (mAttemptsStarted > mAttemptsEnded || !mWaiting.isEmpty()))
        mAttemptEnded.wait(&mMutex);
    return mWritten >= target;
}

quint64 SettingsWriter::handedIn() const
{
    const QMutexLocker lock(&mMutex);
    return mHandedIn;
}

quint64 SettingsWriter::written() const
{
    const QMutexLocker lock(&mMutex);
    return mWritten;
}

std::optional<SettingsWriter::Failure> SettingsWriter::takeUnreportedFailure()
{
    const QMutexLocker lock(&mMutex);
    return std::exchange(mUnreported, std::nullopt);
}

std::optional<SettingsWriter::Failure> SettingsWriter::standingFailure() const
{
    const QMutexLocker lock(&mMutex);
    return mStanding;
}

void SettingsWriter::run()
{
    QMutexLocker lock(&mMutex);
    for (;;) {
        // After a failure the values wait for something new to be asked, not for ever again.
        while (!mStopping && !(mAsked && !mWaiting.isEmpty()))
            mWork.wait(&mMutex);
        if (mStopping)
            return;
        writeTaken(lock);
    }
}

void SettingsWriter::writeTaken(QMutexLocker<QMutex>& lock)
{
    mAsked = false;
    mTaken.swap(mWaiting);
    ++mAttemptsStarted;
    QHash<QString, QString> texts;
    quint64 newest = 0;
    QString newestKey;
    for (auto value = mTaken.cbegin(); value != mTaken.cend(); ++value) {
        texts.insert(value.key(), value->text);
        if (value->count > newest) {
            newest = value->count;
            newestKey = value.key();
        }
    }

    lock.unlock();
    std::optional<QString> error;
    try {
        mWriteValues(texts);
    } catch (...) {
        error = describeCurrentException();
    }
    lock.relock();

    bool tell = false;
    if (!error) {
        // Everything handed in before the newest value taken was taken too, or is already on
        // disk, or waits behind under a newer count of its key.
        mWritten = std::max(mWritten, newest);
        mStanding.reset();
    } else {
        for (auto value = mTaken.cbegin(); value != mTaken.cend(); ++value) {
            if (!mWaiting.contains(value.key()))
                mWaiting.insert(value.key(), *value);
        }
        tell = !mStanding || mStanding->description != *error;
        mStanding = Failure { *error, newestKey };
        if (tell)
            mUnreported = mStanding;
    }
    mTaken.clear();
    // Sent before a flush that waits for this attempt returns.
    if (tell) {
        lock.unlock();
        emit failed();
        lock.relock();
    }
    ++mAttemptsEnded;
    mAttemptEnded.wakeAll();
}
