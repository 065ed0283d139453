#pragma once

#include "workbook/spreadsheetapplication.h"

#include <memory>

class SpreadsheetOffice;

// The real office, killed with SIGKILL just before the planned member of the planned instance
// reaches it, as a crash or an out-of-memory kill would end it. Install with install(); the
// real instances, sessions on the given office, come back when the plan is dropped.
class KillingSpreadsheet final : public SpreadsheetApplication {
public:
    struct Plan {
        // Instances are numbered from 1 in order of creation; "create" kills a new instance
        // before its first use.
        int instance = 0;
        QString member;
        int created = 0;
        qint64 killedProcess = 0;
    };

    static void install(Plan& plan, SpreadsheetOffice& office);
    static void uninstall();

    KillingSpreadsheet(Plan& plan, int number, std::unique_ptr<SpreadsheetApplication> real);
    ~KillingSpreadsheet() override;

    int openWorkbook(const QString& path) override;
    // Counted as an open, as the run's steps name it.
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
    void exportPdf(int workbook, const QString& path) override;
    void exportRangePdf(int workbook, const QString& path, bool gridlines) override;

private:
    void at(const char* member);

    Plan& mPlan;
    int mNumber;
    std::unique_ptr<SpreadsheetApplication> mOffice;
};
