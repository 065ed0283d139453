#pragma once

#include "app/apperror.h"

#include <QDate>
#include <QImage>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <optional>
#include <variant>

// A value written into a cell: text (stored as typing it would store it), a date, or nothing.
using CellValue = std::variant<std::monostate, QString, QDate>;

// The spreadsheet application as the generation run drives it: one running instance with its
// open workbooks. Workbooks are numbered from 1 in the order they were opened. Every member
// throws AppError with a readable description when the office cannot do what is asked.
class SpreadsheetApplication {
public:
    virtual ~SpreadsheetApplication() = default;

    // Workbooks.Open: opens the file as the active workbook and returns its number.
    virtual int openWorkbook(const QString& path) = 0;
    // Workbooks.Open for a workbook that is to be filled, read and saved rather than drawn: an
    // office may open it sooner with no view, and give it one only when a selection or a picture
    // needs it.
    virtual int openWorkbookWithoutView(const QString& path) { return openWorkbook(path); }
    // Workbooks.Count
    virtual int workbookCount() = 0;
    // Worksheets(sheet).Cells(row, column) = value, on the active workbook; counted from 1.
    virtual void setCell(int sheet, int row, int column, const CellValue& value) = 0;
    // The values into one column from firstRow down, each as setCell would write it; an office
    // may take the whole block at once.
    virtual void setColumnCells(
        int sheet, int firstRow, int column, const QVector<CellValue>& values)
    {
        for (int index = 0; index < values.size(); ++index)
            setCell(sheet, firstRow + index, column, values.at(index));
    }
    // Visible = ...; the office never shows a window, so this only records the wish.
    virtual void setVisible(bool visible) = 0;
    // Range(cell).Select on the active sheet of the active workbook, saved with it.
    virtual void selectRange(const QString& cell) = 0;
    // workbook.SaveAs(path, FileFormat:=n); 56 and -4143 write the 97-2003 workbook.
    virtual void saveAs(int workbook, const QString& path, int fileFormat) = 0;
    // DisplayAlerts = ...; nothing here ever asks, so this only records the wish.
    virtual void setDisplayAlerts(bool displayAlerts) = 0;
    // workbook.Close without saving.
    virtual void close(int workbook) = 0;
    // Quit: closes the workbooks this instance opened; an office of its own ends with it.
    virtual void quit() = 0;
    // Version: the office's own version text, such as "7.4".
    virtual QString version() = 0;
    // ActiveSheet.UsedRange: the sheet row and column where the used range ends.
    virtual int usedRangeLastRow(int workbook) = 0;
    virtual int usedRangeLastColumn(int workbook) = 0;
    // ActiveSheet.UsedRange.CopyPicture: a picture of the range as shown on screen replaces the
    // system clipboard's content, for the user to paste. The same picture is returned: the
    // clipboard is shared with every other program, so the caller never reads it back.
    virtual QImage copyPicture(int workbook) = 0;
    // A computed cell of an open workbook, counted from 1: its text as the sheet shows it (number
    // format applied), and its number when it holds one or a formula whose result is one.
    // An application that cannot read cells says so.
    virtual QString cellText(int /*workbook*/, int /*sheet*/, int row, int column)
    {
        throw cannotRead(row, column);
    }
    virtual std::optional<double> cellNumber(int /*workbook*/, int /*sheet*/, int row, int column)
    {
        throw cannotRead(row, column);
    }
    // The picture copyPicture draws, leaving the clipboard alone: for work nobody watches.
    virtual QImage sheetPicture(int workbook) { return copyPicture(workbook); }
    // The workbook's first sheet as a PDF file at path, drawn as the office prints it with the
    // sheet's own page set-up; the other sheets are left out. Replaces what is at path.
    virtual void exportPdf(int workbook, const QString& path) = 0;
    // The active sheet's used range, the one copyPicture draws, as a one-page PDF at natural size
    // with a margin round it, with the printed gridlines or without: a vector drawing of the
    // picture. Replaces what is at path.
    virtual void exportRangePdf(int workbook, const QString& path, bool gridlines) = 0;

private:
    static AppError cannotRead(int row, int column)
    {
        return AppError(QStringLiteral("This spreadsheet application cannot read cell R%1C%2.")
                            .arg(row)
                            .arg(column));
    }
};

class SpreadsheetOffice;

// Creates a new instance ("create Excel.Application") as a session on the office; throws AppError
// when none can be had. Tests may replace the factory with one that makes fakes.
using SpreadsheetFactory = std::function<std::unique_ptr<SpreadsheetApplication>()>;
std::unique_ptr<SpreadsheetApplication> createSpreadsheetApplication(SpreadsheetOffice& office);
// An instance with an office of its own (createOwnOfficeInstance), which its Quit ends.
std::unique_ptr<SpreadsheetApplication> createSpreadsheetApplication();
// An empty factory restores the office's own instances.
void setSpreadsheetFactory(SpreadsheetFactory factory);
