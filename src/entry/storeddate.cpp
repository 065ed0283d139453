#include "storeddate.h"

#include "app/apperror.h"

#include <QRegularExpression>

namespace StoredDate {

QString format(const QLocale& locale)
{
    static const QRegularExpression shortYear(QStringLiteral("(?<!y)yy(?!y)"));
    return locale.dateFormat(QLocale::ShortFormat).replace(shortYear, QStringLiteral("yyyy"));
}

QString toText(const std::optional<QDate>& value, const QLocale& locale)
{
    if (!value || !value->isValid())
        return QString();
    return locale.toString(*value, format(locale));
}

std::optional<QDate> fromText(const QString& text, const QLocale& locale)
{
    if (text.isEmpty())
        return std::nullopt;
    const QDate date = locale.toDate(text.trimmed(), format(locale));
    if (!date.isValid())
        throw AppError(QStringLiteral("Type mismatch: \"%1\" is not a date in the form %2.")
                           .arg(text, format(locale)));
    return date;
}

} // namespace StoredDate
