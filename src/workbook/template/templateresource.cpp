#include "templateresource.h"

#include "app/apperror.h"

#include <QFile>

QByteArray templateWorkbookBytes()
{
    QFile resource(templateResourcePath);
    if (!resource.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("The program carries no template workbook (%1).")
                           .arg(templateResourcePath));
    return resource.readAll();
}
