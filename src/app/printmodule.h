#pragma once

#include "dialogs.h"
#include "programmodule.h"

// Printing needs Qt's print support and CUPS, which the program loads on the first print only:
// the print dialog and the print job live in the module ferrowynd_print (src/export/print).
struct PrintModule {
    std::optional<Dialogs::PrintChoice> (*choosePrint)(
        QWidget* parent, const QString& documentName, const QString& proposedFile);
    // See submitPrintJob() (export/printjob.h).
    void (*submitJob)(
        const QString& printer, const QString& pdfPath, int copies, const QString& title);
};

// Loads the module on first use; AppError when it cannot be loaded.
inline const PrintModule& printModule()
{
    return loadProgramModule<PrintModule>("ferrowynd_print", "ferrowynd_print_module");
}
