#pragma once

#include <QString>

class SpreadsheetApplication;

// SaveAs format numbers: the 97-2003 workbook, and the default format of versions before 12.
namespace SaveFileFormat {
constexpr int workbook8 = 56;
constexpr int workbookNormal = -4143;
} // namespace SaveFileFormat

// 56 when the instance's major version is greater than 11, otherwise -4143. Without an instance
// it creates one, reads its version and quits it. Throws AppError when the version text is not a
// number.
int GetSaveFileFormat(SpreadsheetApplication* app);

// toInvariant false: every "." and then every "," become the locale's decimal separator;
// toInvariant true: every locale decimal separator becomes ".".
QString ToLocalDecimal(const QString& text, bool toInvariant);

// The second character of one half written as text in the user's locale.
QString LocalDecimalSeparator();

// A number text in the user's locale as a 16-bit integer, halves rounded to even. Throws
// AppError for a text that is no number or does not fit.
qint16 toInteger16(const QString& text);
