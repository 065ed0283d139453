#pragma once

#include "cellwriter.h"
#include "officeinstance.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/template/biffpatcher.h"

#include <QLocale>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <memory>
#include <optional>
#include <vector>

// The spreadsheet application as a session on a private LibreOffice process: either an office of
// its own, ended by Quit, or a shared one that outlives it, where Quit closes only the workbooks
// this session opened. Workbooks are loaded hidden or with no view; cell texts are stored as typing
// them under the user's locale would store them.
class LibreOfficeSpreadsheet final : public SpreadsheetApplication {
public:
    // Starts an office of its own; AppError when none can be had.
    explicit LibreOfficeSpreadsheet(const OfficeOptions& options = OfficeOptions());
    // A session on a connected office that others may share.
    explicit LibreOfficeSpreadsheet(std::shared_ptr<OfficeInstance> office);
    ~LibreOfficeSpreadsheet() override;
    LibreOfficeSpreadsheet(const LibreOfficeSpreadsheet&) = delete;
    LibreOfficeSpreadsheet& operator=(const LibreOfficeSpreadsheet&) = delete;

    int openWorkbook(const QString& path) override;
    int openWorkbookWithoutView(const QString& path) override;
    int workbookCount() override;
    void setCell(int sheet, int row, int column, const CellValue& value) override;
    void setColumnCells(
        int sheet, int firstRow, int column, const QVector<CellValue>& values) override;
    void setVisible(bool visible) override { mVisible = visible; }
    void selectRange(const QString& cell) override;
    void saveAs(int workbook, const QString& path, int fileFormat) override;
    void setDisplayAlerts(bool displayAlerts) override { mDisplayAlerts = displayAlerts; }
    void close(int workbook) override;
    void quit() override;
    QString version() override;
    int usedRangeLastRow(int workbook) override;
    int usedRangeLastColumn(int workbook) override;
    QImage copyPicture(int workbook) override;
    QImage sheetPicture(int workbook) override;
    QString cellText(int workbook, int sheet, int row, int column) override;
    std::optional<double> cellNumber(int workbook, int sheet, int row, int column) override;
    void exportPdf(int workbook, const QString& path) override;
    void exportRangePdf(int workbook, const QString& path, bool gridlines) override;

    bool visible() const { return mVisible; }
    bool displayAlerts() const { return mDisplayAlerts; }
    // The locale whose typing rules setCell follows; the system's by default.
    void setTypingLocale(const QLocale& locale) { mTypingLocale = locale; }
    OfficeInstance& office() { return *mOffice; }
    // The open workbook with that number; AppError when there is none.
    css::uno::Reference<css::frame::XModel> workbook(int number) const;

private:
    // Runs a member's calls under the office's watchdog.
    template <typename Body> auto watched(Body&& body) -> decltype(body());
    int open(const QString& path, bool withView);
    css::uno::Reference<css::frame::XModel> loadWithoutView(const rtl::OUString& url);
    css::uno::Reference<css::frame::XModel> activeWorkbook() const;
    css::uno::Reference<css::sheet::XSpreadsheet> activeSheet(
        const css::uno::Reference<css::frame::XModel>& workbook) const;

    // The formats of workbooks this office loaded from the same bytes; none when unreadable.
    std::shared_ptr<LoadedFormats> loadedFormatsOf(const QByteArray& bytes) const;
    // The workbook's view; one opened without is given a hidden one first.
    css::uno::Reference<css::frame::XController> viewOf(
        const css::uno::Reference<css::frame::XModel>& model);
    void closeOwnWorkbooks();
    css::uno::Reference<css::table::XCell> cellAt(int workbook, int sheet, int row, int column);

    std::shared_ptr<OfficeInstance> mOffice;
    bool mOwnsOffice = false;
    // Open workbooks in the order they were opened; the last one is the active one.
    struct OpenWorkbook {
        css::uno::Reference<css::frame::XModel> model;
        std::unique_ptr<CellWriter> writer;
        // The active sheet's used area, found once until a cell is written: it takes dozens
        // of calls, and the picture needs it thrice in a row.
        std::optional<css::table::CellRangeAddress> usedArea;
        // Opened without a view: the first sheet's cursor the file was saved with, when known.
        std::optional<BiffPatcher::Cursor> savedCursor;
    };
    css::table::CellRangeAddress usedAreaOf(int number);
    std::vector<OpenWorkbook> mWorkbooks;
    bool mVisible = false;
    bool mDisplayAlerts = true;
    QLocale mTypingLocale = QLocale();
};
