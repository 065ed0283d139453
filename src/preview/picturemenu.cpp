#include "picturemenu.h"

#include "exportactions.h"
#include "form2.h"
#include "picturebox.h"

#include <QAction>
#include <QMenu>

namespace {

void addEntry(QMenu& menu, const QString& text, const QList<QKeySequence>& keys,
    const std::function<void()>& command)
{
    QAction* action = menu.addAction(text);
    action->setShortcuts(keys);
    QObject::connect(action, &QAction::triggered, menu.parentWidget(), command);
}

} // namespace

void buildPictureMenu(Form2& form, const PictureMenuCommands& commands)
{
    form.PictureMenu = new QMenu(&form);
    QMenu& menu = *form.PictureMenu;
    addEntry(menu, QStringLiteral("Zoom &In"),
        { QKeySequence(Qt::Key_Plus), QKeySequence(Qt::Key_Equal), QKeySequence::ZoomIn },
        commands.zoomIn);
    addEntry(menu, QStringLiteral("Zoom &Out"),
        { QKeySequence(Qt::Key_Minus), QKeySequence::ZoomOut }, commands.zoomOut);
    addEntry(menu, QStringLiteral("Actual &Size"), { QKeySequence(Qt::CTRL | Qt::Key_0) },
        commands.actualSize);
    menu.addSeparator();
    addEntry(menu, QStringLiteral("&Copy Picture"), { QKeySequence::Copy }, commands.copyPicture);
    addEntry(menu, QStringLiteral("Save Picture &As\u2026"),
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S) }, commands.savePictureAs);
    addExportActions(form);
    // The window carries the menu's keys, so they work without the menu open.
    form.addActions(menu.actions());

    PictureBox* picture = form.Picture1;
    picture->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(picture, &QWidget::customContextMenuRequested, &form,
        [&menu, picture](const QPoint& at) { menu.popup(picture->mapToGlobal(at)); });
}
