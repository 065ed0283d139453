#include "comparisonfiles.h"

#include "app/apperror.h"

#include <QSaveFile>

void writeTextFile(const QString& path, const QString& text)
{
    QSaveFile file(path);
    const QByteArray bytes = text.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw AppError(
            QStringLiteral("%1 could not be written (%2)").arg(path, file.errorString()));
}
