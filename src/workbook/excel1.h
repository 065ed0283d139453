#pragma once

#include <QImage>
#include <QString>

class SpreadsheetApplication;

// The sheet picture capture.
namespace Excel1 {

// Writes a picture of the active sheet's used range of the workbook to the path, as the office
// drew it (a copy goes to the clipboard for the user). Reports its own failures and always
// returns normally. Returns the picture the file holds, so that it need not be read back, or a
// null image when no file was written.
QImage saveCellsActivesheet(SpreadsheetApplication* app, int workbook, const QString& path);

} // namespace Excel1
