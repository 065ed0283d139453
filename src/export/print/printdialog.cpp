#include "printdialog.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

std::optional<Dialogs::PrintChoice> choosePrint(
    QWidget* parent, const QString& documentName, const QString& proposedFile)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(documentName);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    const bool noPrinter = QPrinterInfo::availablePrinterNames().isEmpty();
    // Without a printer, "Print to File" is all there is; the dialog starts on it.
    if (noPrinter)
        printer.setOutputFileName(proposedFile);
    QPrintDialog dialog(&printer, parent);
    // One page: no page range, selection, current page or collating to choose.
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    dialog.setMinMax(1, 1);
    if (noPrinter)
        dialog.setWindowTitle(QStringLiteral("Print: no printer is set up, only to a file"));
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    Dialogs::PrintChoice choice;
    choice.copies = printer.copyCount();
    if (printer.outputFormat() == QPrinter::PdfFormat)
        choice.file = printer.outputFileName();
    else
        choice.printer = printer.printerName();
    return choice;
}
