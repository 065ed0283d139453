#include "ownedtemporaryfolder.h"

#include <QDir>
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

} // namespace

OwnedTemporaryFolder::OwnedTemporaryFolder(const QString& prefix)
    : mFolder(QDir::tempPath() + QLatin1Char('/') + prefix + QStringLiteral("-XXXXXX"))
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

int OwnedTemporaryFolder::removeAbandoned(const QStringList& prefixes)
{
    QStringList patterns;
    for (const QString& prefix : prefixes)
        patterns << prefix + QStringLiteral("-*");
    int removed = 0;
    const QFileInfoList folders
        = QDir(QDir::tempPath())
              .entryInfoList(
                  patterns, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks);
    for (const QFileInfo& folder : folders) {
        if (folder.ownerId() != ::getuid()
            || !QFileInfo(folder.filePath() + QLatin1Char('/') + ownerFile).isFile())
            continue;
        const auto lock = ownerLock(folder.filePath());
        // Taken only from an owner that has ended; a live one keeps its folder.
        if (lock->tryLock(0) && QDir(folder.filePath()).removeRecursively())
            ++removed;
    }
    return removed;
}
