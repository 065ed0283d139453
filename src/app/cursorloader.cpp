#include "cursorloader.h"

#include "apperror.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace {

constexpr int directoryHeaderSize = 6;
constexpr int directoryEntrySize = 16;
constexpr quint16 cursorResourceType = 2;

quint16 readWord(const QByteArray& bytes, int offset)
{
    return qFromLittleEndian<quint16>(bytes.constData() + offset);
}

} // namespace

QCursor loadCursorFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("The cursor file %1 could not be read: %2")
                           .arg(path, file.errorString()));
    QByteArray bytes = file.readAll();
    if (bytes.size() < directoryHeaderSize + directoryEntrySize || readWord(bytes, 0) != 0
        || readWord(bytes, 2) != cursorResourceType || readWord(bytes, 4) == 0)
        throw AppError(QStringLiteral("The file %1 is not a cursor file.").arg(path));

    // In a cursor file the first entry's planes and bit-count words hold the hotspot.
    const int hotX = readWord(bytes, directoryHeaderSize + 4);
    const int hotY = readWord(bytes, directoryHeaderSize + 6);

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "cur");
    const QImage image = reader.read();
    if (image.isNull())
        throw AppError(QStringLiteral("The cursor file %1 could not be decoded: %2")
                           .arg(path, reader.errorString()));
    return QCursor(
        QPixmap::fromImage(image), qMin(hotX, image.width() - 1), qMin(hotY, image.height() - 1));
}
