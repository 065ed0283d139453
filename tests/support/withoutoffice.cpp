#include "app/apperror.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

// Tests of the run with a fake office link this in place of the LibreOffice library: their
// instances come from the factory a FakeSpreadsheet::Office installs, never from an office.
std::unique_ptr<SpreadsheetApplication> createOwnOfficeInstance()
{
    throw AppError(QStringLiteral("This test has no office: make a FakeSpreadsheet::Office first"));
}
