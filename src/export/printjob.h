#pragma once

#include <QString>

// Hands a PDF file to the system's printing (CUPS) as one job for the named printer. Returns once
// the job is queued; throws AppError with the printing system's reason when it is refused.
void submitPrintJob(
    const QString& printer, const QString& pdfPath, int copies, const QString& title);
