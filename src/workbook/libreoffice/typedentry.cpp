#include "typedentry.h"

#include "app/formatmarks.h"

#include <QRegularExpression>
#include <cmath>
#include <optional>

namespace {

struct Number {
    double value = 0;
    bool currency = false;
    bool percent = false;
};

// What a locale writes numbers and dates with, worked out once per locale: a cell map writes
// dozens of cells under one locale, and building these costs more than reading a number.
struct LocaleRules {
    QString minus, plus, symbol, percent;
    QString group; // the group separator as a pattern; empty where the locale has none
    QRegularExpression shape, separator;
    QString shortDate, longYearDate;
    bool twoDigitYear = false;
};

const LocaleRules& rulesOf(const QLocale& locale);

bool isSpaceLike(QChar c)
{
    return c.isSpace() || c == QChar(0x00A0) || c == QChar(0x202F);
}

// The locale's own digits as ASCII ones. A number is written in one set of digits: a text
// that mixes them has no value.
std::optional<QString> withAsciiDigits(const QString& text, const QLocale& locale)
{
    const QList<uint> zeroDigit = locale.zeroDigit().toUcs4();
    const char32_t zero = zeroDigit.isEmpty() ? U'0' : zeroDigit.first();
    if (zero == U'0')
        return text;
    QString result;
    bool ascii = false;
    bool native = false;
    for (const uint point : text.toUcs4()) {
        char32_t c = point;
        if (c >= zero && c <= zero + 9) {
            c = U'0' + (c - zero);
            native = true;
        } else if (c >= U'0' && c <= U'9') {
            ascii = true;
        }
        result.append(QString::fromUcs4(&c, 1));
    }
    if (ascii && native)
        return std::nullopt;
    return result;
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

// Locales without a symbol of their own write amounts with the currency's ISO code.
QString currencySymbolOf(const QLocale& locale)
{
    const QString symbol = locale.currencySymbol();
    return withoutFormatMarks(
        symbol.isEmpty() ? locale.currencySymbol(QLocale::CurrencyIsoCode) : symbol)
        .trimmed();
}

// The locale's group separator as a pattern; the spaces a locale groups with are interchangeable.
QString groupPattern(const QLocale& locale)
{
    const QString group = withoutFormatMarks(locale.groupSeparator());
    if (group.size() == 1 && isSpaceLike(group.at(0)))
        return QStringLiteral("[ \\x{00A0}\\x{202F}]");
    return QRegularExpression::escape(group);
}

QList<qsizetype> groupSizes(const QString& whole, const QRegularExpression& separator)
{
    QList<qsizetype> sizes;
    for (const QString& group : whole.split(separator))
        sizes.append(group.size());
    return sizes;
}

// Groups of three below a first group of one to three digits, or the grouping the locale itself
// writes a whole number of that many digits with (Indian 12,34,567; Spanish 1234.567).
bool isGroupingRead(
    const QList<qsizetype>& sizes, const QLocale& locale, const QRegularExpression& separator)
{
    if (sizes.size() == 1)
        return true;
    bool threes = sizes.first() >= 1 && sizes.first() <= 3;
    for (qsizetype i = 1; i < sizes.size(); ++i)
        threes = threes && sizes.at(i) == 3;
    if (threes)
        return true;
    qsizetype count = 0;
    for (const qsizetype size : sizes)
        count += size;
    // Only the number of digits decides where the locale groups, so any number of that length
    // shows it; five and zeros keeps rounding from changing the length.
    const std::optional<QString> written = withAsciiDigits(
        withoutFormatMarks(locale.toString(5.0 * std::pow(10.0, count - 1), 'f', 0)), locale);
    return written && groupSizes(*written, separator) == sizes;
}

// Digits with the locale's grouping and decimal separator, and an optional exponent.
std::optional<double> parseDigits(const QString& core, const QLocale& locale)
{
    const std::optional<QString> ascii = withAsciiDigits(core, locale);
    if (!ascii)
        return std::nullopt;
    const LocaleRules& rules = rulesOf(locale);
    const QRegularExpressionMatch match = rules.shape.match(*ascii);
    if (!match.hasMatch())
        return std::nullopt;
    QString whole = match.captured(1);
    const QString fraction = match.captured(2);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    if (!rules.group.isEmpty()) {
        if (!isGroupingRead(groupSizes(whole, rules.separator), locale, rules.separator))
            return std::nullopt;
        whole.remove(rules.separator);
    }
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
    text = withoutFormatMarks(text).trimmed();
    const LocaleRules& rules = rulesOf(locale);
    const QString& minus = rules.minus;
    const QString& plus = rules.plus;
    const QString& symbol = rules.symbol;
    const QString& percent = rules.percent;
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
        } else if (!number.currency && takeEither(text, symbol)) {
            number.currency = progress = true;
        } else if (!number.percent
            && (takeEither(text, percent) || takeEither(text, QStringLiteral("%")))) {
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
    const LocaleRules& rules = rulesOf(locale);
    const QString& shortFormat = rules.shortDate;
    const bool twoDigitYear = rules.twoDigitYear;
    const QString& longYear = rules.longYearDate;
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

LocaleRules rulesFor(const QLocale& locale)
{
    LocaleRules rules;
    rules.minus = withoutFormatMarks(locale.negativeSign());
    rules.plus = withoutFormatMarks(locale.positiveSign());
    rules.symbol = currencySymbolOf(locale);
    rules.percent = withoutFormatMarks(locale.percent());
    rules.group = groupPattern(locale);
    const QString decimal = QRegularExpression::escape(withoutFormatMarks(locale.decimalPoint()));
    rules.shape.setPattern(rules.group.isEmpty()
            ? QStringLiteral("^([0-9]*)(?:%1([0-9]*))?(?:[eE]([+-]?[0-9]+))?$").arg(decimal)
            : QStringLiteral("^([0-9]+(?:%1[0-9]+)*|)(?:%2([0-9]*))?(?:[eE]([+-]?[0-9]+))?$")
                  .arg(rules.group, decimal));
    rules.separator.setPattern(rules.group);
    rules.shortDate = relaxedDateFormat(locale.dateFormat(QLocale::ShortFormat));
    rules.twoDigitYear = rules.shortDate.contains(QStringLiteral("yy"))
        && !rules.shortDate.contains(QStringLiteral("yyyy"));
    rules.longYearDate = rules.shortDate;
    if (rules.twoDigitYear)
        rules.longYearDate.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return rules;
}

const LocaleRules& rulesOf(const QLocale& locale)
{
    // The last locale asked for, per thread: a run types every cell under one.
    thread_local std::optional<std::pair<QLocale, LocaleRules>> last;
    if (!last || last->first != locale)
        last.emplace(locale, rulesFor(locale));
    return last->second;
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
