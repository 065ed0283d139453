#include "picturefile.h"

#include "app/apperror.h"
#include "app/filehelpers.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>

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
