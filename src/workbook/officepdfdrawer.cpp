#include "officepdfdrawer.h"

#include "spreadsheetapplication.h"

#include "app/errortrap.h"

#include <memory>

OfficePdfDrawer::OfficePdfDrawer(SpreadsheetOffice& office)
    : mOffice(office)
{
}

bool OfficePdfDrawer::drawPdf(
    ErrorTrap& trap, int firstLine, const QString& resultWorkbook, const QString& drawnPdf)
{
    std::unique_ptr<SpreadsheetApplication> app;
    int workbook = 0;
    bool drawn = false;
    if (!trap.step(firstLine, [&] { app = createSpreadsheetApplication(mOffice); }))
        return false;
    if (trap.step(firstLine + 2, [&] { workbook = app->openWorkbook(resultWorkbook); })) {
        drawn = trap.step(firstLine + 4, [&] { app->exportPdf(workbook, drawnPdf); });
        // After a failed export the office may be gone; quitting closes the workbook anyway.
        if (drawn)
            trap.step(firstLine + 6, [&] { app->close(workbook); });
    }
    trap.step(firstLine + 8, [&] { app->quit(); });
    return drawn;
}
