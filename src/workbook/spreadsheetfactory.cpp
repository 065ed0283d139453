#include "spreadsheetapplication.h"
#include "spreadsheetoffice.h"

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
    return createOwnOfficeInstance();
}

void setSpreadsheetFactory(SpreadsheetFactory factory)
{
    installedFactory() = std::move(factory);
}
