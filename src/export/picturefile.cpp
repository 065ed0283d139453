#include "picturefile.h"

#include "app/apperror.h"
#include "app/filehelpers.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QtEndian>

void savePicture(const QImage& picture, const QString& target, const char* format)
{
    // Drawn in memory first, so that a failed write to the disk is told with the system's reason;
    // the image writer would only know that it failed.
    QBuffer encoded;
    encoded.open(QIODevice::WriteOnly);
    QImageWriter writer(&encoded, format);
    if (!writer.write(picture))
        throw AppError(QStringLiteral("Cannot write %1 (%2)").arg(target, writer.errorString()));
    WriteBytesToFile(encoded.data(), target);
}

void savePicturePng(const QImage& picture, const QString& target)
{
    if (picture.isNull())
        throw AppError(QStringLiteral("There is no picture to save."));
    savePicture(picture, target, "png");
}

namespace {

// The file and info headers of an uncompressed 32-bit bitmap of that size whose lines run from
// the top down.
QByteArray bitmapHeaders(int width, int height)
{
    constexpr int headersSize = 14 + 40;
    const quint32 pixelBytes = quint32(width) * quint32(height) * 4;
    QByteArray headers(headersSize, '\0');
    auto* at = reinterpret_cast<uchar*>(headers.data());
    at[0] = 'B';
    at[1] = 'M';
    qToLittleEndian<quint32>(headersSize + pixelBytes, at + 2);
    qToLittleEndian<quint32>(headersSize, at + 10);
    qToLittleEndian<quint32>(40, at + 14);
    qToLittleEndian<qint32>(width, at + 18);
    qToLittleEndian<qint32>(-height, at + 22);
    qToLittleEndian<quint16>(1, at + 26);
    qToLittleEndian<quint16>(32, at + 28);
    qToLittleEndian<quint32>(pixelBytes, at + 34);
    // 96 dpi, the office's drawing resolution
    qToLittleEndian<qint32>(3780, at + 38);
    qToLittleEndian<qint32>(3780, at + 42);
    return headers;
}

} // namespace

void writeBitmapFile(const QImage& picture, const QString& target)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "screen pixels are written as they lie");
    if (picture.isNull())
        throw AppError(QStringLiteral("There is no picture to write to %1").arg(target));
    // Blue, green, red and a spare byte: the screen's 32-bit pixels, whose lines follow each
    // other without a gap, go to the file as they lie in memory.
    const QImage pixels = picture.convertToFormat(QImage::Format_RGB32);
    const QByteArray headers = bitmapHeaders(pixels.width(), pixels.height());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered,
            QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw AppError(
            QStringLiteral("Path/File access error: %1 (%2)").arg(target, file.errorString()));
    try {
        WriteAllBytes(file, headers);
        WriteAllBytes(file, QByteArrayView(pixels.constBits(), pixels.sizeInBytes()));
    } catch (const AppError&) {
        // No picture cut short stays behind.
        file.remove();
        throw;
    }
    file.close();
    KeepPrivate(target);
}
