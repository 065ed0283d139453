#include "printjob.h"

#include "app/printmodule.h"

void submitPrintJob(
    const QString& printer, const QString& pdfPath, int copies, const QString& title)
{
    printModule().submitJob(printer, pdfPath, copies, title);
}
