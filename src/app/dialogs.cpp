#include "dialogs.h"

#include "applicationtitle.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

class WidgetDialogs final : public Dialogs {
public:
    Answer message(QWidget* parent, const QString& title, const QString& text, Icon icon,
        Buttons buttons) override
    {
        QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title,
            text, buttons == Buttons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
            parent);
        const int result = box.exec();
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }

    QString saveFileName(QWidget* parent, const QString& title, const QString& filter) override
    {
        return saveFileNameAt(parent, title, filter, QString());
    }

    QString saveFileNameAt(QWidget* parent, const QString& title, const QString& filter,
        const QString& proposedPath) override
    {
        // The program asks its own overwrite question and adds no extension.
        QFileDialog dialog(parent, title, proposedPath, filter);
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        dialog.setDefaultSuffix(QString());
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return QString();
        return dialog.selectedFiles().constFirst();
    }

    std::optional<PrintChoice> print(
        QWidget* parent, const QString& documentName, const QString& proposedFile) override
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
        PrintChoice choice;
        choice.copies = printer.copyCount();
        if (printer.outputFormat() == QPrinter::PdfFormat)
            choice.file = printer.outputFileName();
        else
            choice.printer = printer.printerName();
        return choice;
    }
};

WidgetDialogs realDialogs;
Dialogs* installed = nullptr;

} // namespace

Dialogs& Dialogs::current()
{
    return installed ? *installed : realDialogs;
}

void Dialogs::install(Dialogs* dialogs)
{
    installed = dialogs;
}

QString Dialogs::saveFileNameAt(
    QWidget* parent, const QString& title, const QString& filter, const QString&)
{
    return saveFileName(parent, title, filter);
}

std::optional<Dialogs::PrintChoice> Dialogs::print(QWidget*, const QString&, const QString&)
{
    return std::nullopt;
}

void showPlainMessage(QWidget* parent, const QString& text)
{
    Dialogs::current().message(
        parent, applicationTitle(), text, Dialogs::Icon::None, Dialogs::Buttons::Ok);
}
