#pragma once

#include "fakerangepdf.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QSize>
#include <QStringList>

// A spreadsheet application that follows a script and records every call, for tests of
// whatever drives the spreadsheet application. Make a FakeSpreadsheet::Office: while it lives,
// createSpreadsheetApplication() hands out fakes that share it, and it stands in for the
// program's office.
class FakeSpreadsheet final : public SpreadsheetApplication {
public:
    struct CellWrite {
        int instance;
        int sheet;
        int row;
        int column;
        CellValue value;
    };

    class Office final : public SpreadsheetOffice {
    public:
        Office();
        ~Office() override;
        Office(const Office&) = delete;
        Office& operator=(const Office&) = delete;

        // The script.
        QString version = QStringLiteral("16.0");
        int lastRow = 79;
        int lastColumn = 15;
        QSize pictureSize { 116, 134 };
        // False: the office draws nothing (a null picture).
        bool copyPictureDraws = true;
        // Calls that throw, by name ("saveAs") or by instance and name ("2:openWorkbook").
        QSet<QString> failing;
        // Calls at which the office process dies: that call and every later one throw.
        QSet<QString> dyingAt;
        // Creation numbers (from 1) that fail to start an office.
        QSet<int> failingCreations;
        // The office cannot be started at all / fails to come up after it was started ahead.
        bool startFails = false;
        bool failsToComeUp = false;

        // What reading a cell of any workbook gives, by sheet and address ("1!M28"): the text
        // as the sheet shows it and its number. A cell not listed shows "" and holds no number.
        QHash<QString, QString> shownTexts;
        QHash<QString, double> numbers;

        // The record: "1:openWorkbook /tmp/x/template.xlt", "2:quit", "1:released" ...
        QStringList calls;
        QList<CellWrite> cellWrites;
        // The content of every file opened, in order.
        QList<QByteArray> openedContents;
        int created = 0;
        // Offices started and not yet ended by quit, death or release.
        int running = 0;

        void startAhead() override;
        std::unique_ptr<SpreadsheetApplication> newInstance() override;
        void setStartFailureHandler(std::function<void()> handler) override;
        bool awaitStart() override;
        std::function<void()> startFailureHandler;

        // Calls of one instance without their instance number, e.g. "setCell 1 4 4 $4,500.00".
        QStringList callsOf(int instance) const;
        // The last value written to a cell of the first sheet by the given instance; nothing
        // when it was never written.
        std::optional<CellValue> cell(int instance, int row, int column) const;
    };

    FakeSpreadsheet(Office& office, int number);
    ~FakeSpreadsheet() override;

    int openWorkbook(const QString& path) override;
    int openWorkbookWithoutView(const QString& path) override;
    int workbookCount() override;
    void setCell(int sheet, int row, int column, const CellValue& value) override;
    void setColumnCells(
        int sheet, int firstRow, int column, const QVector<CellValue>& values) override;
    void setVisible(bool visible) override;
    void selectRange(const QString& cell) override;
    void saveAs(int workbook, const QString& path, int fileFormat) override;
    void setDisplayAlerts(bool displayAlerts) override;
    void close(int workbook) override;
    void quit() override;
    QString version() override;
    int usedRangeLastRow(int workbook) override;
    int usedRangeLastColumn(int workbook) override;
    QImage copyPicture(int workbook) override;
    // The picture copyPicture makes, without the clipboard.
    QImage sheetPicture(int workbook) override;
    QString cellText(int workbook, int sheet, int row, int column) override;
    std::optional<double> cellNumber(int workbook, int sheet, int row, int column) override;
    // Writes a small file that names the workbook exported.
    void exportPdf(int workbook, const QString& path) override;
    // writeFakeRangePdf() of the picture copyPicture makes.
    void exportRangePdf(int workbook, const QString& path, bool gridlines) override;

    // "text", "date 2026-12-07" or "empty", as the record shows a value.
    static QString describe(const CellValue& value);
    // "1!M28" for sheet 1, row 28, column 13.
    static QString address(int sheet, int row, int column);

private:
    void call(const QString& name, const QString& arguments = QString());
    void needWorkbook(int workbook) const;
    void needActiveWorkbook() const;
    void end();
    int open(const QString& path);

    Office& mOffice;
    int mNumber;
    bool mEnded = false;
    QStringList mOpen; // paths of open workbooks, numbered from 1; closed ones are emptied
};
