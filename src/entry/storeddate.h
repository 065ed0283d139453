#pragma once

#include <QDate>
#include <QLocale>
#include <QString>
#include <optional>

// How a date picker's value is kept in the settings store: the regional short date with the
// year always written in full, or the empty text for no date.
namespace StoredDate {

// The regional short date format with a two-digit year widened to four digits, so that a
// stored 1965 is not read back as 2065.
QString format(const QLocale& locale = QLocale());

QString toText(const std::optional<QDate>& value, const QLocale& locale = QLocale());

// The empty text is no date. Throws AppError for a text that is not a date in this form.
std::optional<QDate> fromText(const QString& text, const QLocale& locale = QLocale());

} // namespace StoredDate
