#pragma once

#include <QHash>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QWaitCondition>
#include <functional>
#include <optional>

class QThread;

// Puts settings values into the file on a thread of its own, so that whoever hands them in never
// waits for the disk. Values reach the file in the order they come: each write takes every value
// waiting, and a value not yet written gives way to a newer one of the same key, so the file holds,
// for every key, a value that was handed in. A failed write keeps its values waiting; the next
// value handed in, or a flush, tries again.
class SettingsWriter final : public QObject {
    Q_OBJECT

public:
    // Puts a set of values into the file at once; throws when that fails.
    using WriteValues = std::function<void(const QHash<QString, QString>&)>;

    struct Failure {
        QString description;
        // The key handed in last of the values that could not be written.
        QString key;
    };

    explicit SettingsWriter(WriteValues writeValues);
    // Flushes, then ends the thread.
    ~SettingsWriter() override;

    // Returns at once.
    void write(const QString& key, const QString& value);
    // The value handed in under key that is not known to be on disk yet.
    std::optional<QString> unwritten(const QString& key) const;
    // Waits until every value handed in so far is on disk. False when the attempt made for it
    // failed; the values then wait for the next try.
    bool flush();

    // Values are counted as they are handed in: the count of the latest one, and the count up
    // to which every value is on disk.
    quint64 handedIn() const;
    quint64 written() const;

    // Each distinct failure since the last good write, once: the same failure again is told
    // only after a write has gone through.
    std::optional<Failure> takeUnreportedFailure();
    // The failure of the latest write when it failed: values are waiting that are not on disk.
    std::optional<Failure> standingFailure() const;

signals:
    // Sent from the writer's thread when a failure waits to be taken.
    void failed();

private:
    struct Value {
        QString text;
        quint64 count = 0;
    };
    using Values = QHash<QString, Value>;

    void run();
    void writeTaken(QMutexLocker<QMutex>& lock);

    WriteValues mWriteValues;
    mutable QMutex mMutex;
    QWaitCondition mWork;
    QWaitCondition mAttemptEnded;
    Values mWaiting;
    // Taken by the write under way; still unwritten for readers.
    Values mTaken;
    quint64 mHandedIn = 0;
    quint64 mWritten = 0;
    quint64 mAttemptsStarted = 0;
    quint64 mAttemptsEnded = 0;
    // A value was handed in or a flush asked since the last attempt began.
    bool mAsked = false;
    std::optional<Failure> mStanding;
    bool mStopping = false;
    std::optional<Failure> mUnreported;
    QThread* mThread = nullptr;
};
