#pragma once

#include <QString>
#include <memory>

class SpreadsheetApplication;
class SpreadsheetOffice;

// The office layer needs the UNO libraries, which the program loads only once its window has
// painted: this library lives in the module ferrowynd_office, and the program links the loader
// (loader/) in its place. Tests and benchmarks link ferrowynd_libreoffice directly.
struct OfficeModule {
    // createSpreadsheetOffice() and createOwnOfficeInstance() (workbook/spreadsheetoffice.h).
    std::unique_ptr<SpreadsheetOffice> (*createOffice)(const QString& warmUpWorkbook);
    std::unique_ptr<SpreadsheetApplication> (*createOwnInstance)();
};

// The module, loaded on first use; AppError naming the module and the reason when it cannot be
// loaded. The program's createSpreadsheetOffice() defers this until the office is needed, and
// its createOwnOfficeInstance() calls it (the command line without a window too).
const OfficeModule& loadOfficeModule();
