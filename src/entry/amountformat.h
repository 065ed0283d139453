#pragma once

#include <QLocale>
#include <QString>
#include <optional>

// The regional number rules of the amount fields. Both use the default QLocale, which is the
// system's regional setting unless a test or the program set another.
namespace AmountFormat {

// The value of a text under the regional rules: optional sign, digits, decimal and grouping
// separators, the currency symbol and a negative in parentheses. Grouping separators count only
// every three digits before the decimal mark. Empty, malformed and out-of-range texts have none.
std::optional<double> parse(const QString& text, const QLocale& locale = QLocale());

bool isNumeric(const QString& text, const QLocale& locale = QLocale());

// Currency symbol, digit grouping and exactly two decimals. U.S. English shows a negative
// amount in parentheses.
QString currencyForm(double value, const QLocale& locale = QLocale());

} // namespace AmountFormat
