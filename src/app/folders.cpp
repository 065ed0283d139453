#include "folders.h"

#include "apperror.h"
#include "ownedtemporaryfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <map>
#include <memory>

namespace {

const QString runFolderPrefix = QStringLiteral("ferrowynd-run");

std::map<QString, std::unique_ptr<OwnedTemporaryFolder>>& runFolders()
{
    static std::map<QString, std::unique_ptr<OwnedTemporaryFolder>> folders;
    return folders;
}

} // namespace

QString temporaryBase()
{
    const QString temp = qEnvironmentVariable("TEMP");
    return temp.isEmpty() ? QDir::tempPath() : temp;
}

QString temporaryFolder()
{
    const QString base = temporaryBase();
    std::unique_ptr<OwnedTemporaryFolder>& folder = runFolders()[base];
    if (!folder || !QFileInfo(folder->path()).isDir()) {
        folder = std::make_unique<OwnedTemporaryFolder>(runFolderPrefix, base);
        if (!folder->isValid()) {
            const QString reason = folder->errorString();
            folder.reset();
            throw AppError(QStringLiteral("No folder for the run's files could be made in %1 (%2)")
                               .arg(base, reason));
        }
    }
    return folder->path();
}

QString temporaryFile(const QString& fileName)
{
    return temporaryFolder() + QLatin1Char('/') + fileName;
}

void removeTemporaryFolders()
{
    runFolders().clear();
}

int removeAbandonedTemporaryFolders()
{
    return OwnedTemporaryFolder::removeAbandoned({ runFolderPrefix }, temporaryBase());
}

QString installationFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString installationFile(const QString& relativePath)
{
    return installationFolder() + QLatin1Char('/') + relativePath;
}
