#pragma once

#include <QImage>
#include <QString>

class SpreadsheetApplication;

// The sheet picture capture.
namespace Excel1 {

// Writes a picture of the active sheet's used range of the workbook to the path, through the
// clipboard. Reports its own failures and always returns normally.
void saveCellsActivesheet(SpreadsheetApplication* app, int workbook, const QString& path);

} // namespace Excel1

// Up to 1000 clipboard reads with no pause, within 15 seconds; the first picture found, or a
// null image. Errors never leave it.
QImage GetClipboardPicture(int format);

constexpr int clipboardAttempts = 1000;
constexpr int clipboardDeadlineMs = 15000;
