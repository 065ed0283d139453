#include "templatebytes.h"

#include "app/apperror.h"

#include <QFile>

QByteArray loadTemplate(const QString& resource)
{
    QFile file(resource);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("The embedded template workbook %1 could not be read (%2)")
                           .arg(resource, file.errorString()));
    return file.readAll();
}
