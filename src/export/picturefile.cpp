#include "picturefile.h"

#include "app/apperror.h"

#include <QImage>
#include <QImageWriter>
#include <QSaveFile>

void savePicturePng(const QImage& picture, const QString& target)
{
    if (picture.isNull())
        throw AppError(QStringLiteral("There is no picture to save."));
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(
            QStringLiteral("Path/File access error: %1 (%2)").arg(target, file.errorString()));
    QImageWriter writer(&file, "png");
    if (!writer.write(picture))
        throw AppError(QStringLiteral("Cannot write %1 (%2)").arg(target, writer.errorString()));
    if (!file.commit())
        throw AppError(
            QStringLiteral("Path/File access error: %1 (%2)").arg(target, file.errorString()));
}
