#pragma once

#include <QString>

class ErrorTrap;

// Draws the computed result workbook's estimate sheet as a PDF file, as the office prints it. Its
// steps run through the command's error trap at lines firstLine, firstLine + 2, ... firstLine + 8;
// false when one of them failed.
class PdfDrawer {
public:
    virtual ~PdfDrawer() = default;

    virtual bool drawPdf(
        ErrorTrap& trap, int firstLine, const QString& resultWorkbook, const QString& drawnPdf)
        = 0;
};
