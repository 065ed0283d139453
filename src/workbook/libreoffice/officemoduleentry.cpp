#include "officemodule.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

extern "C" __attribute__((visibility("default"))) const OfficeModule* ferrowynd_office_module()
{
    static const OfficeModule module { createSpreadsheetOffice, createOwnOfficeInstance };
    return &module;
}
