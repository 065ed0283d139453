#include "ownedtemporaryfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <unistd.h>

namespace {

const QString ownerFile = QStringLiteral("owner.lock");

std::unique_ptr<QLockFile> ownerLock(const QString& folder)
{
    auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + ownerFile);
    // Only an owner that has ended makes the lock stale, however old it is.
    lock->setStaleLockTime(0);
    return lock;
}

QString baseOr(const QString& base)
{
    return base.isEmpty() ? QDir::tempPath() : base;
}

// The lock goes last: removing it with the folder would leave its holder a lock file to release
// that is no longer there.
bool removeHeldFolder(const QString& folder, QLockFile& lock)
{
    QDir dir(folder);
    bool removed = true;
    const QFileInfoList entries
        = dir.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    for (const QFileInfo& entry : entries) {
        if (entry.fileName() == ownerFile)
            continue;
        removed = (entry.isDir() && !entry.isSymLink() ? QDir(entry.filePath()).removeRecursively()
                                                       : QFile::remove(entry.filePath()))
            && removed;
    }
    lock.unlock();
    return removed && dir.rmdir(folder);
}

} // namespace

OwnedTemporaryFolder::OwnedTemporaryFolder(const QString& prefix, const QString& base)
    : mFolder(baseOr(base) + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX"))
{
    if (!mFolder.isValid())
        return;
    mOwner = ownerLock(mFolder.path());
    if (!mOwner->tryLock(0))
        mOwner.reset();
}

OwnedTemporaryFolder::~OwnedTemporaryFolder()
{
    mOwner.reset();
}

bool OwnedTemporaryFolder::isValid() const
{
    return mFolder.isValid() && mOwner;
}

int OwnedTemporaryFolder::removeAbandoned(const QStringList& prefixes, const QString& base)
{
    QStringList patterns;
    for (const QString& prefix : prefixes)
        patterns << prefix + QStringLiteral("-*");
    int removed = 0;
    const QFileInfoList folders
        = QDir(baseOr(base))
              .entryInfoList(
                  patterns, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& folder : folders) {
        if (folder.ownerId() != ::getuid()
            || !QFileInfo(folder.filePath() + QLatin1Char('/') + ownerFile).isFile())
            continue;
        const auto lock = ownerLock(folder.filePath());
        // Taken only from an owner that has ended; a live one keeps its folder.
        if (lock->tryLock(0) && removeHeldFolder(folder.filePath(), *lock))
            ++removed;
    }
    return removed;
}
