#include "excel1.h"

#include "app/apperror.h"
#include "app/errortrap.h"
#include "clipboardpicturesource.h"
#include "spreadsheetapplication.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QImageWriter>
#include <QSaveFile>

namespace {

SpreadsheetApplication& activeSheetOf(SpreadsheetApplication* app, int workbook)
{
    if (!app || workbook < 1)
        throw AppError(QStringLiteral("Object variable or With block variable not set"));
    return *app;
}

void writePicture(const QImage& picture, const QString& path)
{
    if (picture.isNull())
        throw AppError(QStringLiteral("The clipboard held no picture of the sheet"));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw AppError(
            QStringLiteral("Path/File access error: %1 (%2)").arg(path, file.errorString()));
    QImageWriter writer(&file, "bmp");
    if (!writer.write(picture))
        throw AppError(QStringLiteral("The picture could not be written to %1 (%2)")
                           .arg(path, writer.errorString()));
    if (!file.commit())
        throw AppError(QStringLiteral("Disk error writing %1 (%2)").arg(path, file.errorString()));
}

} // namespace

namespace Excel1 {

void saveCellsActivesheet(SpreadsheetApplication* app, int workbook, const QString& path)
{
    ErrorTrap trap(QStringLiteral("Excel1.saveCellsActivesheet"));
    int lastRow = 0;
    int lastColumn = 0;
    trap.step(100, [&] { activeSheetOf(app, workbook); });
    trap.step(102, [&] { lastRow = activeSheetOf(app, workbook).usedRangeLastRow(workbook); });
    trap.step(
        104, [&] { lastColumn = activeSheetOf(app, workbook).usedRangeLastColumn(workbook); });
    if (!(lastRow > 1 && lastColumn > 1))
        return;
    trap.step(110, [&] {
        // A picture left from before must never pass for this sheet when the copy fails.
        QGuiApplication::clipboard()->clear();
        activeSheetOf(app, workbook).copyPicture(workbook);
    });
    trap.step(112, [&] { writePicture(GetClipboardPicture(0), path); });
}

} // namespace Excel1

QImage GetClipboardPicture(int format)
{
    // Each read may wait on another program that took the clipboard meanwhile; the deadline
    // keeps a silent one from holding the run for a thousand of its time-outs.
    QElapsedTimer elapsed;
    elapsed.start();
    for (int attempt = 0; attempt < clipboardAttempts && !elapsed.hasExpired(clipboardDeadlineMs);
         ++attempt) {
        try {
            QImage picture = ClipboardPictureSource::current().read(format);
            if (!picture.isNull())
                return picture;
        } catch (...) {
            // A failed read is one more attempt, nothing else.
        }
    }
    return QImage();
}
