#pragma once

#include <QByteArray>
#include <optional>

// Changes to a 97-2003 "Workbook" stream that the office's own export cannot make. Each takes the
// whole stream and returns the changed stream; they throw AppError on a stream they cannot read
// and refuse encrypted workbooks, whose records cannot be changed in place.
namespace BiffPatcher {

// Marks the workbook as a template (a TEMPLATE record right after the globals' BOF and an optional
// WRITEPROT). A workbook already marked is returned unchanged.
QByteArray markAsTemplate(const QByteArray& stream);

// Gives the sheet at the position (from 0, in the workbook's sheet order) the screen zoom
// numerator/denominator: an SCL record after its WINDOW2, or its existing SCL changed.
QByteArray setSheetZoom(
    const QByteArray& stream, int sheetIndex, quint16 numerator, quint16 denominator);

// Makes the cell at row and column (counted from 0) the sheet's saved cursor and its only selected
// cell. The sheet must have an unsplit window: a single SELECTION record holding one range.
QByteArray setSheetCursor(const QByteArray& stream, int sheetIndex, int row, int column);

// The cell (counted from 0) a workbook opens on, as setSheetCursor writes it: known only when the
// workbook opens on its first sheet, whose unsplit window has that one cell selected. Never throws.
struct Cursor {
    int row;
    int column;
};
std::optional<Cursor> openingCursor(const QByteArray& stream);

// Sets the header and footer margins (in inches) of the sheet's page set-up (its SETUP record).
QByteArray setHeaderFooterMargins(
    const QByteArray& stream, int sheetIndex, double headerInches, double footerInches);

// Inserts a whole record (header included) at a record boundary and moves every absolute stream
// position the workbook keeps (sheet offsets, shared-string buckets, row-block indexes) that lies
// at or after the insertion point.
QByteArray insertRecord(const QByteArray& stream, int position, const QByteArray& record);

} // namespace BiffPatcher
