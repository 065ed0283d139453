#include "savefileformat.h"

#include "app/apperror.h"
#include "spreadsheetapplication.h"

#include <QLocale>

#include <cmath>
#include <limits>

int GetSaveFileFormat(SpreadsheetApplication* app)
{
    QString version;
    if (app) {
        version = app->version();
    } else {
        std::unique_ptr<SpreadsheetApplication> own = createSpreadsheetApplication();
        version = own->version();
        own->quit();
    }
    const qint16 major = toInteger16(ToLocalDecimal(version, false));
    return major > 11 ? SaveFileFormat::workbook8 : SaveFileFormat::workbookNormal;
}

QString ToLocalDecimal(const QString& text, bool toInvariant)
{
    const QString separator = LocalDecimalSeparator();
    QString result = text;
    if (toInvariant)
        return result.replace(separator, QStringLiteral("."));
    result.replace(QLatin1Char('.'), separator);
    result.replace(QLatin1Char(','), separator);
    return result;
}

QString LocalDecimalSeparator()
{
    return QLocale().toString(0.5).trimmed().mid(1, 1);
}

qint16 toInteger16(const QString& text)
{
    bool ok = false;
    const double value = QLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        throw AppError(QStringLiteral("Type mismatch: \"%1\" is not a number").arg(text));
    double rounded = std::round(value);
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    if (rounded < std::numeric_limits<qint16>::min()
        || rounded > std::numeric_limits<qint16>::max())
        throw AppError(QStringLiteral("Overflow: %1 does not fit a 16-bit integer").arg(text));
    return qint16(rounded);
}
