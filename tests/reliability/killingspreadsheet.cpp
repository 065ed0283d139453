#include "killingspreadsheet.h"

#include "runharness.h"
#include "workbook/libreoffice/libreofficespreadsheet.h"
#include "workbook/spreadsheetoffice.h"

#include <csignal>

void KillingSpreadsheet::install(Plan& plan, SpreadsheetOffice& office)
{
    setSpreadsheetFactory([&plan, &office] {
        return std::make_unique<KillingSpreadsheet>(plan, ++plan.created, office.newInstance());
    });
}

void KillingSpreadsheet::uninstall()
{
    setSpreadsheetFactory({});
}

KillingSpreadsheet::KillingSpreadsheet(
    Plan& plan, int number, std::unique_ptr<SpreadsheetApplication> real)
    : mPlan(plan)
    , mNumber(number)
    , mOffice(std::move(real))
{
    at("create");
}

KillingSpreadsheet::~KillingSpreadsheet() = default;

void KillingSpreadsheet::at(const char* member)
{
    if (mPlan.killedProcess != 0 || mPlan.instance != mNumber || mPlan.member != member)
        return;
    const qint64 pid = dynamic_cast<LibreOfficeSpreadsheet&>(*mOffice).office().processId();
    ::kill(static_cast<pid_t>(pid), SIGKILL);
    if (!Reliability::waitUntilDead(pid, 10000))
        qWarning("the office %lld outlived SIGKILL", pid);
    mPlan.killedProcess = pid;
}

int KillingSpreadsheet::openWorkbook(const QString& path)
{
    at("openWorkbook");
    return mOffice->openWorkbook(path);
}

int KillingSpreadsheet::openWorkbookWithoutView(const QString& path)
{
    at("openWorkbook");
    return mOffice->openWorkbookWithoutView(path);
}

int KillingSpreadsheet::workbookCount()
{
    at("workbookCount");
    return mOffice->workbookCount();
}

void KillingSpreadsheet::setCell(int sheet, int row, int column, const CellValue& value)
{
    at("setCell");
    mOffice->setCell(sheet, row, column, value);
}

void KillingSpreadsheet::setColumnCells(
    int sheet, int firstRow, int column, const QVector<CellValue>& values)
{
    at("setColumnCells");
    mOffice->setColumnCells(sheet, firstRow, column, values);
}

void KillingSpreadsheet::setVisible(bool visible)
{
    at("setVisible");
    mOffice->setVisible(visible);
}

void KillingSpreadsheet::selectRange(const QString& cell)
{
    at("selectRange");
    mOffice->selectRange(cell);
}

void KillingSpreadsheet::saveAs(int workbook, const QString& path, int fileFormat)
{
    at("saveAs");
    mOffice->saveAs(workbook, path, fileFormat);
}

void KillingSpreadsheet::setDisplayAlerts(bool displayAlerts)
{
    at("setDisplayAlerts");
    mOffice->setDisplayAlerts(displayAlerts);
}

void KillingSpreadsheet::close(int workbook)
{
    at("close");
    mOffice->close(workbook);
}

void KillingSpreadsheet::quit()
{
    at("quit");
    mOffice->quit();
}

QString KillingSpreadsheet::version()
{
    at("version");
    return mOffice->version();
}

int KillingSpreadsheet::usedRangeLastRow(int workbook)
{
    at("usedRangeLastRow");
    return mOffice->usedRangeLastRow(workbook);
}

int KillingSpreadsheet::usedRangeLastColumn(int workbook)
{
    at("usedRangeLastColumn");
    return mOffice->usedRangeLastColumn(workbook);
}

QImage KillingSpreadsheet::copyPicture(int workbook)
{
    at("copyPicture");
    return mOffice->copyPicture(workbook);
}

void KillingSpreadsheet::exportPdf(int workbook, const QString& path)
{
    at("exportPdf");
    mOffice->exportPdf(workbook, path);
}

void KillingSpreadsheet::exportRangePdf(int workbook, const QString& path, bool gridlines)
{
    at("exportRangePdf");
    mOffice->exportRangePdf(workbook, path, gridlines);
}
