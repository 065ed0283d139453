#include "amountformat.h"

#include "app/formatmarks.h"

#include <QRegularExpression>
#include <cmath>

namespace {

bool takePrefix(QString& text, const QString& prefix)
{
    if (prefix.isEmpty() || !text.startsWith(prefix))
        return false;
    text = text.mid(prefix.size()).trimmed();
    return true;
}

bool takeSuffix(QString& text, const QString& suffix)
{
    if (suffix.isEmpty() || !text.endsWith(suffix))
        return false;
    text.chop(suffix.size());
    text = text.trimmed();
    return true;
}

// A leading sign: true for minus. Leaves the text untouched when there is none.
std::optional<bool> takeSign(QString& text, const QLocale& locale)
{
    const QString minus = withoutFormatMarks(locale.negativeSign());
    const QString plus = withoutFormatMarks(locale.positiveSign());
    for (const QString& sign : { minus, QStringLiteral("-"), QStringLiteral("\u2212") }) {
        if (takePrefix(text, sign))
            return true;
    }
    for (const QString& sign : { plus, QStringLiteral("+") }) {
        if (takePrefix(text, sign))
            return false;
    }
    return std::nullopt;
}

// Locales without a symbol of their own write the currency's ISO code ("CHF 1’500.00"); the
// numeric test must know it too, or a validated amount would be refused the next time.
QString currencySymbolOf(const QLocale& locale)
{
    const QString symbol = locale.currencySymbol();
    return symbol.isEmpty() ? locale.currencySymbol(QLocale::CurrencyIsoCode) : symbol;
}

// Grouping separators stand only where the locale writes them itself, every three digits before
// the decimal mark in most: "1.234,5" under German rules, never "12.5", which is a typo for 12,5
// there. Returns the text without them, or nothing when one stands anywhere else.
std::optional<QString> withoutGrouping(const QString& text, const QLocale& locale)
{
    QString group = withoutFormatMarks(locale.groupSeparator());
    QString rest = text;
    if (group.size() == 1 && group.at(0).isSpace()) {
        // Any space the user types stands for the locale's own (often a narrow no-break one).
        for (QChar& character : rest) {
            if (character.isSpace())
                character = group.at(0);
        }
    }
    if (group.isEmpty() || !rest.contains(group))
        return rest;
    const QString decimal = withoutFormatMarks(locale.decimalPoint());
    const qsizetype decimalAt = decimal.isEmpty() ? -1 : rest.indexOf(decimal);
    const QString whole = decimalAt < 0 ? rest : rest.left(decimalAt);
    const QString fraction = decimalAt < 0 ? QString() : rest.mid(decimalAt);
    if (fraction.contains(group))
        return std::nullopt;
    const QString digits = QString(whole).remove(group);
    // Digits of some scripts take two characters each.
    const qsizetype digitCount = digits.toUcs4().size();
    // Beyond that no amount fits in a double anyway.
    constexpr qsizetype mostDigits = 308;
    if (digitCount == 0 || digitCount > mostDigits)
        return std::nullopt;
    // Where the locale puts its separators in a number of as many digits; the digits themselves
    // are checked when the number is read.
    // (5 followed by zeros: a power of ten may come out a digit shorter as a double.)
    const double sameLength
        = (QStringLiteral("5") + QString(digitCount - 1, QLatin1Char('0'))).toDouble();
    QString written = withoutFormatMarks(locale.toString(sameLength, 'f', 0));
    if (group.size() == 1 && group.at(0).isSpace())
        written.replace(QRegularExpression(QStringLiteral("\\s")), group);
    const auto separatorsOnly = [&group](const QString& text) {
        QList<uint> marks = text.toUcs4();
        for (uint& character : marks) {
            if (character != group.at(0).unicode())
                character = '0';
        }
        return marks;
    };
    if (separatorsOnly(written) != separatorsOnly(whole))
        return std::nullopt;
    return digits + fraction;
}

bool isUnitedStatesEnglish(const QLocale& locale)
{
    return locale.language() == QLocale::English && locale.territory() == QLocale::UnitedStates;
}

} // namespace

namespace AmountFormat {

std::optional<double> parse(const QString& text, const QLocale& locale)
{
    QString rest = withoutFormatMarks(text).trimmed();
    bool negative = false;
    if (rest.size() >= 2 && rest.startsWith(QLatin1Char('(')) && rest.endsWith(QLatin1Char(')'))) {
        negative = true;
        rest = rest.mid(1, rest.size() - 2).trimmed();
    }

    const QString symbol = withoutFormatMarks(currencySymbolOf(locale)).trimmed();
    bool haveSymbol = takePrefix(rest, symbol) || takeSuffix(rest, symbol);
    const std::optional<bool> sign = takeSign(rest, locale);
    if (sign && negative)
        return std::nullopt;
    negative = negative || sign.value_or(false);
    if (!haveSymbol)
        haveSymbol = takePrefix(rest, symbol) || takeSuffix(rest, symbol);

    const std::optional<QString> ungrouped = withoutGrouping(rest, locale);
    if (!ungrouped)
        return std::nullopt;
    rest = *ungrouped;
    if (rest.isEmpty() || takeSign(rest, locale))
        return std::nullopt;

    bool ok = false;
    const double value = locale.toDouble(rest, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

bool isNumeric(const QString& text, const QLocale& locale)
{
    return parse(text, locale).has_value();
}

QString currencyForm(double value, const QLocale& locale)
{
    // Amounts that round to zero cents show as zero, never as a negative zero.
    if (std::fabs(value) < 0.005)
        value = 0.0;
    const QString symbol = currencySymbolOf(locale);
    if (isUnitedStatesEnglish(locale) && value < 0)
        return QLatin1Char('(') + locale.toCurrencyString(-value, symbol, 2) + QLatin1Char(')');
    return locale.toCurrencyString(value, symbol, 2);
}

} // namespace AmountFormat
