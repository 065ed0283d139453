#include "cupsjob.h"

#include "app/apperror.h"

#include <QByteArray>
#include <QFile>
#include <cups/cups.h>

void submitCupsJob(const QString& printer, const QString& pdfPath, int copies, const QString& title)
{
    if (printer.isEmpty())
        throw AppError(QStringLiteral("No printer was chosen."));
    cups_option_t* options = nullptr;
    int count
        = cupsAddOption("copies", QByteArray::number(qMax(1, copies)).constData(), 0, &options);
    const int job = cupsPrintFile(printer.toUtf8().constData(),
        QFile::encodeName(pdfPath).constData(), title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job == 0)
        throw AppError(QStringLiteral("The printer %1 refused the job (%2)")
                           .arg(printer, QString::fromUtf8(cupsLastErrorString())));
}
