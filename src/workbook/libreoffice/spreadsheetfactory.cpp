#include "libreofficespreadsheet.h"
#include "workbook/spreadsheetapplication.h"

namespace {

SpreadsheetFactory& installedFactory()
{
    static SpreadsheetFactory factory;
    return factory;
}

} // namespace

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
