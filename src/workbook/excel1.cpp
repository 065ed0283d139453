#include "excel1.h"

#include "app/apperror.h"
#include "app/errortrap.h"
#include "export/picturefile.h"
#include "spreadsheetapplication.h"

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
        throw AppError(QStringLiteral("The office drew no picture of the sheet"));
    // The household's figures, drawn: the user's alone.
    writeBitmapFile(picture, path);
}

} // namespace

namespace Excel1 {

QImage saveCellsActivesheet(SpreadsheetApplication* app, int workbook, const QString& path)
{
    ErrorTrap trap(QStringLiteral("Excel1.saveCellsActivesheet"));
    int lastRow = 0;
    int lastColumn = 0;
    // Without a sheet, or without its picture, the later steps have nothing to work on.
    if (!trap.step(100, [&] { activeSheetOf(app, workbook); }))
        return QImage();
    trap.step(102, [&] { lastRow = activeSheetOf(app, workbook).usedRangeLastRow(workbook); });
    trap.step(
        104, [&] { lastColumn = activeSheetOf(app, workbook).usedRangeLastColumn(workbook); });
    if (!(lastRow > 1 && lastColumn > 1))
        return QImage();
    // The run keeps the office's drawing itself: what another program or the user puts on the
    // shared clipboard meanwhile can never stand in for it.
    QImage picture;
    if (trap.step(110, [&] { picture = activeSheetOf(app, workbook).copyPicture(workbook); })
        && trap.step(112, [&] { writePicture(picture, path); }))
        return picture;
    return QImage();
}

} // namespace Excel1
