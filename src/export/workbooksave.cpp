#include "workbooksave.h"

#include "overwritequestion.h"
#include "picturefile.h"
#include "savefolder.h"
#include "workbookcopy.h"

#include "app/dialogs.h"
#include "app/errortrap.h"

#include <QImage>

void saveWorkbookAs(ErrorTrap& trap, QWidget* parent, const QString& workbook)
{
    QString target;
    Dialogs::Answer answer = Dialogs::Answer::Ok;
    trap.step(106, [&] {
        target = Dialogs::current().saveFileName(
            parent, QStringLiteral("Save File"), QStringLiteral("Excel Files (*.xls)"));
    });
    if (!target.isEmpty()) {
        trap.step(112, [&] {
            if (mayWriteTo(parent, target))
                answer = Dialogs::Answer::Yes;
        });
    }
    bool copied = true;
    if (answer == Dialogs::Answer::Yes) {
        // The old target is replaced only by a complete copy; the result workbook chosen as its
        // own target is already there.
        copied = trap.step(114, [&] {
            if (!isSameFile(workbook, target))
                copyFileReplacing(workbook, target);
            rememberSaveFolder(target);
        });
    }
    if (copied)
        trap.step(116, [&] { showPlainMessage(parent, QStringLiteral("Done.")); });
}

void savePictureAs(ErrorTrap& trap, QWidget* parent, const std::function<QImage()>& picture)
{
    QString target;
    trap.step(100, [&] {
        target = Dialogs::current().saveFileName(
            parent, QStringLiteral("Save Picture"), QStringLiteral("PNG Images (*.png)"));
    });
    if (target.isEmpty())
        return;
    bool confirmed = false;
    trap.step(102, [&] { confirmed = mayWriteTo(parent, target); });
    if (confirmed)
        trap.step(104, [&] { savePicturePng(picture(), target); });
}
