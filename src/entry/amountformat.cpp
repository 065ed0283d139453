#include "amountformat.h"

#include "app/formatmarks.h"

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

    // Grouping only helps the reader; a separator in an odd place does not change the number.
    const QString group = withoutFormatMarks(locale.groupSeparator());
    if (!group.isEmpty()) {
        rest.remove(group);
        if (group.size() == 1 && group.at(0).isSpace())
            rest.removeIf([](QChar character) { return character.isSpace(); });
    }
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
