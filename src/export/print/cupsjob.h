#pragma once

#include <QString>

// submitPrintJob() (export/printjob.h) with CUPS.
void submitCupsJob(
    const QString& printer, const QString& pdfPath, int copies, const QString& title);
