#include "libreofficespreadsheet.h"
#include "officeprogram.h"
#include "warmoffice.h"
#include "workbook/spreadsheetoffice.h"

std::unique_ptr<SpreadsheetApplication> createOwnOfficeInstance()
{
    return std::make_unique<LibreOfficeSpreadsheet>();
}

std::unique_ptr<SpreadsheetOffice> createSpreadsheetOffice(const QString& warmUpWorkbook)
{
    OfficeOptions options;
    options.warmUpDocument = warmUpWorkbook;
    return std::make_unique<WarmOffice>(options);
}

QString spreadsheetOfficeProgram()
{
    return officeProgramPath();
}
