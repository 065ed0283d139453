#include "typedentry.h"

#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace {

struct Number {
    double value = 0;
    bool currency = false;
    bool percent = false;
};

bool isSpaceLike(QChar c)
{
    return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F);
}

bool takePrefix(QString& text, const QString& token)
{
    if (token.isEmpty() || !text.startsWith(token))
        return false;
    text = text.mid(token.size()).trimmed();
    return true;
}

bool takeSuffix(QString& text, const QString& token)
{
    if (token.isEmpty() || !text.endsWith(token))
        return false;
    text.chop(token.size());
    text = text.trimmed();
    return true;
}

bool takeEither(QString& text, const QString& token)
{
    return takePrefix(text, token) || takeSuffix(text, token);
}

// Digits with the locale's grouping (groups of three only) and decimal separator, and an
// optional exponent.
std::optional<double> parseDigits(const QString& core, const QLocale& locale)
{
    const QString decimal = locale.decimalPoint();
    QString group = locale.groupSeparator();
    QString groupPattern = QRegularExpression::escape(group);
    if (group.size() == 1 && isSpaceLike(group.at(0)))
        groupPattern = QStringLiteral("[ \\x{00A0}\\x{202F}]");
    const QRegularExpression shape(QStringLiteral("^(\\d{1,3}(?:%1\\d{3})+|\\d*)(?:%2(\\d*))?"
                                                  "(?:[eE]([+-]?\\d+))?$")
                                       .arg(groupPattern, QRegularExpression::escape(decimal)));
    const QRegularExpressionMatch match = shape.match(core);
    if (!match.hasMatch())
        return std::nullopt;
    QString whole = match.captured(1);
    const QString fraction = match.captured(2);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    whole.remove(QRegularExpression(QStringLiteral("\\D")));
    QString plain = (whole.isEmpty() ? QStringLiteral("0") : whole) + QLatin1Char('.')
        + (fraction.isEmpty() ? QStringLiteral("0") : fraction);
    if (match.hasCaptured(3))
        plain += QLatin1Char('e') + match.captured(3);
    bool ok = false;
    const double value = plain.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<Number> parseNumber(QString text, const QLocale& locale)
{
    Number number;
    bool negative = false;
    bool parentheses = false;
    bool signed_ = false;
    const QString minus = locale.negativeSign();
    const QString plus = locale.positiveSign();
    // Signs, parentheses, currency symbol and percent sign may wrap the digits in any order,
    // each at most once.
    for (bool progress = true; progress;) {
        progress = false;
        if (!parentheses && text.startsWith(QLatin1Char('(')) && text.endsWith(QLatin1Char(')'))) {
            text = text.mid(1, text.size() - 2).trimmed();
            parentheses = negative = progress = true;
        } else if (!signed_ && (takeEither(text, minus) || takeEither(text, QStringLiteral("-")))) {
            signed_ = progress = true;
            negative = !negative;
        } else if (!signed_ && (takePrefix(text, plus) || takePrefix(text, QStringLiteral("+")))) {
            signed_ = progress = true;
        } else if (!number.currency && takeEither(text, locale.currencySymbol())) {
            number.currency = progress = true;
        } else if (!number.percent
            && (takeEither(text, locale.percent()) || takeEither(text, QStringLiteral("%")))) {
            number.percent = progress = true;
        }
    }
    // "(-5)" and "$5%" mean nothing a cell would take as a number.
    if ((parentheses && signed_) || (number.currency && number.percent))
        return std::nullopt;
    const std::optional<double> digits = parseDigits(text, locale);
    if (!digits)
        return std::nullopt;
    number.value = negative ? -*digits : *digits;
    if (number.percent)
        number.value /= 100.0;
    return number;
}

QString relaxedDateFormat(QString format)
{
    // One-letter day and month sections read one or two digits.
    format.replace(QRegularExpression(QStringLiteral("(?<!d)dd(?!d)")), QStringLiteral("d"));
    format.replace(QRegularExpression(QStringLiteral("(?<!M)MM(?!M)")), QStringLiteral("M"));
    return format;
}

std::optional<QDate> parseDate(const QString& text, const QLocale& locale)
{
    const QString shortFormat = relaxedDateFormat(locale.dateFormat(QLocale::ShortFormat));
    const bool twoDigitYear = shortFormat.contains(QStringLiteral("yy"))
        && !shortFormat.contains(QStringLiteral("yyyy"));
    QString longYear = shortFormat;
    if (twoDigitYear)
        longYear.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    QDate date = locale.toDate(text, longYear);
    if (!date.isValid() && twoDigitYear) {
        date = locale.toDate(text, shortFormat);
        // Two-digit years: 00 to 29 are this century, 30 to 99 the last, as spreadsheets read them.
        if (date.isValid() && date.year() < 1930)
            date = date.addYears(100);
    }
    if (!date.isValid())
        date = QDate::fromString(text, Qt::ISODate);
    // Spreadsheet days start in 1900; earlier dates stay text.
    if (!date.isValid() || date.year() < 1900)
        return std::nullopt;
    return date;
}

} // namespace

TypedEntry parseTypedEntry(const QString& text, const QLocale& locale, bool cellIsPercentFormatted)
{
    TypedEntry entry;
    if (text.isEmpty())
        return entry;
    const QString trimmed = text.trimmed();
    if (const std::optional<Number> number = parseNumber(trimmed, locale)) {
        entry.kind = TypedEntry::Kind::Number;
        entry.number = number->value;
        if (number->currency)
            entry.look = TypedEntry::Look::Currency;
        else if (number->percent)
            entry.look = TypedEntry::Look::Percent;
        else if (cellIsPercentFormatted && std::fabs(entry.number) >= 1.0)
            entry.number /= 100.0;
        return entry;
    }
    if (const std::optional<QDate> date = parseDate(trimmed, locale)) {
        entry.kind = TypedEntry::Kind::Number;
        entry.number = dateSerial(*date);
        entry.look = TypedEntry::Look::Date;
        return entry;
    }
    entry.kind = TypedEntry::Kind::Text;
    entry.text = text;
    return entry;
}

double dateSerial(const QDate& date)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(date));
}
