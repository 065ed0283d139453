#pragma once

#include "preview/form2.h"
#include "preview/picturebox.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QtTest>

// The entry of the picture's menu with that text; nullptr when there is none.
inline QAction* pictureMenuAction(const Form2& form, const QString& text)
{
    const QList<QAction*> actions = form.PictureMenu->actions();
    const auto found = std::find_if(actions.begin(), actions.end(),
        [&](const QAction* action) { return action->text() == text; });
    return found == actions.end() ? nullptr : *found;
}

// A right-click on the preview's picture, then a click on the context menu's item with that
// text, as the user does it. False when the menu or the item did not show.
inline bool choosePictureMenuItem(Form2& form, const QString& text)
{
    // The right button's press, then the context-menu event the window system sends with it.
    const QPoint at(30, 30);
    QTest::mousePress(form.Picture1, Qt::RightButton, {}, at);
    QContextMenuEvent request(QContextMenuEvent::Mouse, at, form.Picture1->mapToGlobal(at));
    QCoreApplication::sendEvent(form.Picture1, &request);
    QTest::mouseRelease(form.Picture1, Qt::RightButton, {}, at);
    if (!QTest::qWaitFor([&] { return form.PictureMenu->isVisible(); }, 2000))
        return false;
    QAction* chosen = pictureMenuAction(form, text);
    if (!chosen)
        return false;
    QTest::mouseClick(
        form.PictureMenu, Qt::LeftButton, {}, form.PictureMenu->actionGeometry(chosen).center());
    return true;
}
