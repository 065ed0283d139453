#include "resultexport.h"

#include "overwritequestion.h"
#include "pdfdrawer.h"
#include "printjob.h"
#include "savefolder.h"
#include "workbookcopy.h"

#include "app/apperror.h"
#include "app/dialogs.h"
#include "app/errortrap.h"
#include "app/filehelpers.h"
#include "app/folders.h"

#include <QCursor>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QScopedValueRollback>
#include <QTemporaryFile>
#include <memory>

namespace {

const QString pdfSuffix = QStringLiteral(".pdf");

// The target is opened before the office starts, so an unwritable folder is known at once; its
// content is put in place by commit() only. The result workbook itself is never replaced.
void openTarget(QSaveFile& target, const QString& resultWorkbook)
{
    if (isSameFile(target.fileName(), resultWorkbook))
        throw AppError(QStringLiteral("Path/File access error: %1 is the result workbook itself")
                           .arg(target.fileName()));
    OpenSaveFile(target);
}

void commitTarget(const QString& drawnPdf, QSaveFile& target)
{
    QFile drawn(drawnPdf);
    if (!drawn.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("File not found: %1 (%2)").arg(drawnPdf, drawn.errorString()));
    const QByteArray bytes = drawn.readAll();
    if (!bytes.startsWith("%PDF"))
        throw AppError(QStringLiteral("LibreOffice wrote no PDF to %1").arg(drawnPdf));
    WriteAllBytes(target, bytes);
    if (!target.commit())
        throw AppError(QStringLiteral("Disk error writing %1 (%2)")
                           .arg(target.fileName(), target.errorString()));
}

// A file name of the program's temporary folder for the office's PDF, removed with this object.
std::unique_ptr<QTemporaryFile> reserveDrawnPdf()
{
    auto file = std::make_unique<QTemporaryFile>(
        temporaryFile(QStringLiteral("export-XXXXXX") + pdfSuffix));
    if (!file->open())
        throw AppError(QStringLiteral("Path/File access error: %1 (%2)")
                           .arg(file->fileTemplate(), file->errorString()));
    file->close();
    return file;
}

class BusyPointer final {
public:
    BusyPointer() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyPointer() { QGuiApplication::restoreOverrideCursor(); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

} // namespace

ResultExport::ResultExport(PdfDrawer& drawer)
    : mDrawer(drawer)
{
}

bool ResultExport::drawPdf(
    ErrorTrap& trap, int firstLine, const QString& resultWorkbook, const QString& drawnPdf)
{
    const BusyPointer busy;
    return mDrawer.drawPdf(trap, firstLine, resultWorkbook, drawnPdf);
}

void ResultExport::exportPdf(QWidget* window, const QString& resultWorkbook)
{
    if (mBusy)
        return;
    const QScopedValueRollback<bool> busy(mBusy, true);
    ErrorTrap trap(QStringLiteral("Form2.mnuExportPdf_Click"));
    QString target;
    bool mayWrite = false;
    trap.step(100, [&] {
        target = Dialogs::current().saveFileNameAt(window, QStringLiteral("Export as PDF"),
            QStringLiteral("PDF Files (*.pdf)"), proposedExportPath(resultWorkbook, pdfSuffix));
    });
    if (target.isEmpty())
        return;
    trap.step(102, [&] { mayWrite = mayWriteTo(window, target); });
    if (!mayWrite)
        return;
    QSaveFile output(target);
    std::unique_ptr<QTemporaryFile> drawn;
    if (!trap.step(104, [&] { openTarget(output, resultWorkbook); })
        || !trap.step(106, [&] { drawn = reserveDrawnPdf(); })
        || !drawPdf(trap, 108, resultWorkbook, drawn->fileName())
        || !trap.step(118, [&] { commitTarget(drawn->fileName(), output); }))
        return;
    trap.step(120, [&] { rememberSaveFolder(target); });
    trap.step(122, [&] { showPlainMessage(window, QStringLiteral("Done.")); });
}

void ResultExport::print(QWidget* window, const QString& resultWorkbook)
{
    if (mBusy)
        return;
    const QScopedValueRollback<bool> busy(mBusy, true);
    ErrorTrap trap(QStringLiteral("Form2.mnuPrint_Click"));
    std::optional<Dialogs::PrintChoice> choice;
    trap.step(100, [&] {
        choice = Dialogs::current().print(window, QFileInfo(resultWorkbook).completeBaseName(),
            proposedExportPath(resultWorkbook, pdfSuffix));
    });
    if (!choice)
        return;
    // "Print to File" writes the same PDF as the export, as safely.
    const bool toFile = !choice->file.isEmpty();
    QSaveFile output(choice->file);
    std::unique_ptr<QTemporaryFile> drawn;
    if ((toFile && !trap.step(102, [&] { openTarget(output, resultWorkbook); }))
        || !trap.step(104, [&] { drawn = reserveDrawnPdf(); })
        || !drawPdf(trap, 106, resultWorkbook, drawn->fileName()))
        return;
    if (toFile) {
        trap.step(116, [&] { commitTarget(drawn->fileName(), output); });
        return;
    }
    trap.step(118, [&] {
        submitPrintJob(choice->printer, drawn->fileName(), choice->copies,
            QFileInfo(resultWorkbook).completeBaseName());
    });
}
