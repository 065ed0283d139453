#include "libreofficespreadsheet.h"
#include "officeprogram.h"
#include "warmoffice.h"
#include "workbook/spreadsheetapplication.h"

namespace {

SpreadsheetFactory& installedFactory()
{
    static SpreadsheetFactory factory;
    return factory;
}

} // namespace

std::unique_ptr<SpreadsheetApplication> createSpreadsheetApplication(SpreadsheetOffice& office)
{
    if (installedFactory())
        return installedFactory()();
    return office.newInstance();
}

std::unique_ptr<SpreadsheetApplication> createSpreadsheetApplication()
{
    if (installedFactory())
        return installedFactory()();
    return std::make_unique<LibreOfficeSpreadsheet>();
}

void setSpreadsheetFactory(SpreadsheetFactory factory)
{
    installedFactory() = std::move(factory);
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
