#include "previewkeys.h"

#include "focusmark.h"
#include "form2.h"
#include "picturebox.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <functional>

namespace {

using Slide = QAbstractSlider::SliderAction;

// Moves a bar, when it is in use: a picture that fits has nothing to scroll.
void slide(QScrollBar* bar, Slide action)
{
    if (bar->isEnabled())
        bar->triggerAction(action);
}

} // namespace

void addPreviewKeys(Form2& form)
{
    QScrollBar* across = form.HScroll1;
    QScrollBar* down = form.VScroll1;
    const auto openMenu = [&form] {
        const QWidget* viewport = form.Picture2;
        form.PictureMenu->popup(viewport->mapToGlobal(viewport->rect().center()));
    };
    const struct {
        QKeySequence key;
        std::function<void()> command;
    } keys[] = {
        { QKeySequence(Qt::Key_Left), [=] { slide(across, Slide::SliderSingleStepSub); } },
        { QKeySequence(Qt::Key_Right), [=] { slide(across, Slide::SliderSingleStepAdd); } },
        { QKeySequence(Qt::Key_Up), [=] { slide(down, Slide::SliderSingleStepSub); } },
        { QKeySequence(Qt::Key_Down), [=] { slide(down, Slide::SliderSingleStepAdd); } },
        { QKeySequence(Qt::Key_PageUp), [=] { slide(down, Slide::SliderPageStepSub); } },
        { QKeySequence(Qt::Key_PageDown), [=] { slide(down, Slide::SliderPageStepAdd); } },
        { QKeySequence(Qt::Key_Home), [=] { slide(across, Slide::SliderToMinimum); } },
        { QKeySequence(Qt::Key_End), [=] { slide(across, Slide::SliderToMaximum); } },
        { QKeySequence(Qt::CTRL | Qt::Key_Home),
            [=] {
                slide(across, Slide::SliderToMinimum);
                slide(down, Slide::SliderToMinimum);
            } },
        { QKeySequence(Qt::CTRL | Qt::Key_End),
            [=] {
                slide(across, Slide::SliderToMaximum);
                slide(down, Slide::SliderToMaximum);
            } },
        { QKeySequence(Qt::SHIFT | Qt::Key_F10), openMenu },
        { QKeySequence(Qt::Key_Menu), openMenu },
    };
    for (const auto& key : keys) {
        auto* action = new QAction(&form);
        action->setShortcut(key.key);
        QObject::connect(action, &QAction::triggered, &form, key.command);
        form.addAction(action);
    }

    // The picture takes the keyboard when the window opens and when it is clicked; Space on it
    // does nothing.
    form.Picture2->setFocusPolicy(Qt::StrongFocus);
    form.Picture2->setAccessibleName(QStringLiteral("Picture of the estimate"));
    new FocusMark(form.Picture2);
    for (QPushButton* button :
        { form.PushButton1, form.PushButton2, form.PushButton8, form.PushButton6 })
        button->setAutoDefault(true);
}
