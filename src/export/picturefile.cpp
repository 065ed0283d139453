#include "picturefile.h"

#include "app/apperror.h"
#include "app/filehelpers.h"

#include <QBuffer>
#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

void savePicturePng(const QImage& picture, const QString& target)
{
    if (picture.isNull())
        throw AppError(QStringLiteral("There is no picture to save."));
    QSaveFile file(target);
    OpenSaveFile(file);
    // Drawn in memory first, so that a failed write to the disk is told with the system's reason.
    QBuffer png;
    png.open(QIODevice::WriteOnly);
    QImageWriter writer(&png, "png");
    if (!writer.write(picture))
        throw AppError(QStringLiteral("Cannot write %1 (%2)").arg(target, writer.errorString()));
    WriteAllBytes(file, png.data());
    if (!file.commit())
        throw AppError(
            QStringLiteral("Path/File access error: %1 (%2)").arg(target, file.errorString()));
}
