#pragma once

#include "preview/resultoutput.h"

#include <QString>

class ErrorTrap;
class QSaveFile;
class SpreadsheetOffice;

// "Export as PDF…" and "Print…" of the preview: the office draws the computed result workbook's
// estimate sheet as a PDF, with the sheet's own page set-up, in a session on the program's office;
// the PDF then replaces the chosen file in one step or goes to the printer. A failed step is
// reported under the command's name and line; a failed export leaves no file behind and an existing
// one as it was.
class ResultExport final : public ResultOutput {
public:
    explicit ResultExport(SpreadsheetOffice& office);

    void exportPdf(QWidget* window, const QString& resultWorkbook) override;
    void print(QWidget* window, const QString& resultWorkbook) override;

private:
    // Steps firstLine, firstLine + 2, ... : the office writes the PDF to drawnPdf. False when a
    // step failed; the instance is gone either way.
    bool drawPdf(
        ErrorTrap& trap, int firstLine, const QString& resultWorkbook, const QString& drawnPdf);
    // A command that arrives while the office is drawing is not started a second time.
    SpreadsheetOffice& mOffice;
    bool mBusy = false;
};
