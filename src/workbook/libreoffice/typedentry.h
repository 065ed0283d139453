#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// What typing a text into a cell stores: a number (dates are day numbers), a text, or nothing.
struct TypedEntry {
    enum class Kind { Empty, Number, Text };
    // The look a cell in the general format takes on from what was typed.
    enum class Look { General, Currency, Percent, Date };

    Kind kind = Kind::Empty;
    double number = 0;
    QString text;
    Look look = Look::General;
};

// Reads the text as a user of the locale typing it into a cell would have it read: numbers in
// ASCII or the locale's own digits with its separators, grouped by threes or as the locale groups
// them, its currency symbol (or the currency's ISO code where it has none), a leading or trailing
// sign, parentheses for negatives, a percent sign (7% is 0.07) and the locale's short dates. A
// plain number typed into a percent-formatted cell is taken as percent when it is 1 or more ("7" is
// 0.07, "0.07" stays). Anything else is kept as text; an empty text empties the cell.
TypedEntry parseTypedEntry(const QString& text, const QLocale& locale, bool cellIsPercentFormatted);

// The spreadsheet's day number of a date: days since 1899-12-30, so 1965-11-04 is 24050.
double dateSerial(const QDate& date);
