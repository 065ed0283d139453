#include "workbookcopy.h"

#include "app/apperror.h"
#include "app/filehelpers.h"

#include <QFile>
#include <QSaveFile>

#include <sys/stat.h>

bool isSameFile(const QString& first, const QString& second)
{
    if (first.isEmpty() || second.isEmpty())
        return false;
    struct stat firstInfo { };
    struct stat secondInfo { };
    if (::stat(QFile::encodeName(first).constData(), &firstInfo) != 0
        || ::stat(QFile::encodeName(second).constData(), &secondInfo) != 0)
        return false;
    return firstInfo.st_dev == secondInfo.st_dev && firstInfo.st_ino == secondInfo.st_ino;
}

void copyFileReplacing(const QString& source, const QString& target)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("File not found: %1 (%2)").arg(source, input.errorString()));
    QSaveFile output(target);
    OpenSaveFile(output);
    constexpr qint64 chunkSize = 1 << 16;
    while (!input.atEnd()) {
        const QByteArray chunk = input.read(chunkSize);
        if (chunk.isEmpty()) {
            if (input.error() != QFileDevice::NoError)
                throw AppError(QStringLiteral("Device I/O error reading %1 (%2)")
                                   .arg(source, input.errorString()));
            break;
        }
        WriteAllBytes(output, chunk);
    }
    if (!output.commit())
        throw AppError(
            QStringLiteral("Disk error writing %1 (%2)").arg(target, output.errorString()));
}
