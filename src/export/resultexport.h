#pragma once

#include "resultoutput.h"

#include <QString>

class ErrorTrap;
class QSaveFile;
class PdfDrawer;

// "Export as PDF…" and "Print…" of the preview: the drawer (the program's office) draws the
// computed result workbook's estimate sheet as a PDF, with the sheet's own page set-up; the PDF
// then replaces the chosen file in one step or goes to the printer. A failed step is
// reported under the command's name and line; a failed export leaves no file behind and an existing
// one as it was.
class ResultExport final : public ResultOutput {
public:
    explicit ResultExport(PdfDrawer& drawer);

    void exportPdf(QWidget* window, const QString& resultWorkbook) override;
    void print(QWidget* window, const QString& resultWorkbook) override;

private:
    // Steps firstLine, firstLine + 2, ... : the drawer writes the PDF to drawnPdf under the busy
    // pointer. False when a step failed.
    bool drawPdf(
        ErrorTrap& trap, int firstLine, const QString& resultWorkbook, const QString& drawnPdf);
    PdfDrawer& mDrawer;
    // A command that arrives while the office is drawing is not started a second time.
    bool mBusy = false;
};
