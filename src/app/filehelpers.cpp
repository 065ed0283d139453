#include "filehelpers.h"

#include "apperror.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

bool FileExists(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isFile() && info.lastModified().isValid();
}

void KillFile(const QString& path)
{
    QCoreApplication::processEvents();
    if (path.isEmpty())
        return;
    if (QFile::remove(path))
        return;
    try {
        ForceDeleteFile(path);
    } catch (...) {
        // Deleting is best effort here: callers never hear of a failure.
    }
}

void ForceDeleteFile(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        throw AppError(QStringLiteral("File not found: %1").arg(path));
    file.setPermissions(file.permissions() | QFileDevice::WriteOwner);
    if (!file.remove())
        throw AppError(QStringLiteral("Permission denied: %1 (%2)").arg(path, file.errorString()));
}

void KeepPrivate(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void WriteBytesToFile(const QByteArray& bytes, const QString& path)
{
    QSaveFile file(path);
    OpenSaveFile(file);
    WriteAllBytes(file, bytes);
    if (!file.commit())
        throw AppError(QStringLiteral("Disk error writing %1 (%2)").arg(path, file.errorString()));
}

void OpenSaveFile(QSaveFile& file)
{
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw AppError(QStringLiteral("Path/File access error: %1 (%2)")
                           .arg(file.fileName(), file.errorString()));
}

void WriteAllBytes(QFileDevice& file, QByteArrayView bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        // A short write is followed by one that fails with the system's reason.
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            throw AppError(QStringLiteral("Disk error writing %1 (%2)")
                               .arg(file.fileName(), file.errorString()));
        done += written;
    }
}
