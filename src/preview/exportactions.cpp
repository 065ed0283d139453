#include "exportactions.h"

#include "form2.h"

#include "app/apperror.h"
#include "app/errortrap.h"
#include "export/resultoutput.h"

#include <QAction>
#include <QMenu>

namespace {

// Without an installed output there is no office to draw the estimate: said, not ignored.
ResultOutput* outputFor(const QString& procedure)
{
    ResultOutput* output = ResultOutput::installed();
    if (!output)
        ErrorTrap(procedure).step(100, [] {
            throw AppError(
                QStringLiteral("There is no spreadsheet application to draw the estimate."));
        });
    return output;
}

} // namespace

void addExportActions(Form2& form)
{
    form.PictureMenu->addSeparator();
    QAction* exportPdf = form.PictureMenu->addAction(QStringLiteral("&Export as PDF\u2026"));
    exportPdf->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    form.addAction(exportPdf);
    QAction* print = form.PictureMenu->addAction(QStringLiteral("&Print\u2026"));
    print->setShortcut(QKeySequence::Print);
    print->setShortcutContext(Qt::WindowShortcut);
    // The menu shows the keys; the window makes them work while the menu is closed.
    form.addAction(print);
    QObject::connect(exportPdf, &QAction::triggered, &form, [&form] {
        if (ResultOutput* output = outputFor(QStringLiteral("Form2.mnuExportPdf_Click")))
            output->exportPdf(&form, form.mExcelFile);
    });
    QObject::connect(print, &QAction::triggered, &form, [&form] {
        if (ResultOutput* output = outputFor(QStringLiteral("Form2.mnuPrint_Click")))
            output->print(&form, form.mExcelFile);
    });
}
