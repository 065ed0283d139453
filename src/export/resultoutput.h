#pragma once

#include <QString>

class QWidget;

// The ways out of the preview for the computed estimate besides the workbook itself: a PDF file
// and the printer. The spreadsheet side installs the one that draws them through the office;
// each member runs a whole menu command, dialogs and error reports included.
class ResultOutput {
public:
    virtual ~ResultOutput() = default;

    virtual void exportPdf(QWidget* window, const QString& resultWorkbook) = 0;
    virtual void print(QWidget* window, const QString& resultWorkbook) = 0;

    // Nothing until one is installed.
    static ResultOutput* installed();
    // Installs a replacement (not owned); nullptr removes it.
    static void install(ResultOutput* output);
};
