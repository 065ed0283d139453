#include "deferredoffice.h"
#include "workbook/libreoffice/officemodule.h"
#include "workbook/libreoffice/officeprogram.h"
#include "workbook/spreadsheetapplication.h"

#include "app/programmodule.h"

// The program's makers of the office (workbook/spreadsheetoffice.h), which reach the office
// library through its module.

const OfficeModule& loadOfficeModule()
{
    return loadProgramModule<OfficeModule>("ferrowynd_office", "ferrowynd_office_module");
}

std::unique_ptr<SpreadsheetOffice> createSpreadsheetOffice(const QString& warmUpWorkbook)
{
    return std::make_unique<DeferredOffice>(warmUpWorkbook);
}

QString spreadsheetOfficeProgram()
{
    return officeProgramPath();
}

std::unique_ptr<SpreadsheetApplication> createOwnOfficeInstance()
{
    return loadOfficeModule().createOwnInstance();
}
