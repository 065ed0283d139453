#include "folders.h"

#include "apperror.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString privateTemporaryFolder()
{
    const QString path
        = QDir::tempPath() + QStringLiteral("/ferrowynd-") + QString::number(::getuid());
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        throw AppError(QStringLiteral("The temporary folder %1 could not be created: %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    // lstat: a link planted in the shared folder must not redirect our files.
    struct stat info { };
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        throw AppError(QStringLiteral("The temporary folder %1 is not a folder.").arg(path));
    if (info.st_uid != ::getuid())
        throw AppError(
            QStringLiteral("The temporary folder %1 belongs to another user.").arg(path));
    if ((info.st_mode & 0077) != 0 && ::chmod(native.constData(), 0700) != 0)
        throw AppError(
            QStringLiteral("The temporary folder %1 could not be made private.").arg(path));
    return path;
}

} // namespace

QString temporaryFolder()
{
    const QString temp = qEnvironmentVariable("TEMP");
    if (!temp.isEmpty())
        return temp;
    return privateTemporaryFolder();
}

QString temporaryFile(const QString& fileName)
{
    return temporaryFolder() + QLatin1Char('/') + fileName;
}

QString installationFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString installationFile(const QString& relativePath)
{
    return installationFolder() + QLatin1Char('/') + relativePath;
}
