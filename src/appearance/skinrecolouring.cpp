#include "skinrecolouring.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <typeinfo>

namespace {

bool isLine(const QFrame& frame)
{
    return frame.frameShape() == QFrame::HLine || frame.frameShape() == QFrame::VLine;
}

// A frame drawn as a plain QFrame box rather than a titled group box.
bool isPlainFrame(const QWidget& control)
{
    const auto* frame = qobject_cast<const QFrame*>(&control);
    return frame && typeid(*frame) == typeid(QFrame) && !isLine(*frame);
}

// A picture box is a bare QWidget panel; classes derived from QWidget, such as the date
// pickers, are composite controls. typeid also tells apart subclasses without Q_OBJECT.
bool isPictureBox(const QWidget& control)
{
    return typeid(control) == typeid(QWidget);
}

// Containers hold further controls of the window; any other control's children are its own
// parts (the check box inside a date picker), not controls of the window.
bool holdsControls(const QWidget& control)
{
    return qobject_cast<const QGroupBox*>(&control) || isPlainFrame(control)
        || isPictureBox(control);
}

} // namespace

bool SkinRecolouring::takesButtonFace(const QWidget& control)
{
    return qobject_cast<const QRadioButton*>(&control) || qobject_cast<const QCheckBox*>(&control)
        || qobject_cast<const QLabel*>(&control) || holdsControls(control);
}

void SkinRecolouring::recolour(QWidget& window)
{
    const QColor buttonFace = window.palette().color(QPalette::Button);
    const QColor buttonText = window.palette().color(QPalette::ButtonText);
    std::vector<QWidget*> controls { &window };
    collect(window, controls);
    // Every designed look is taken before any change, since a recoloured container passes its
    // colour on to whatever inherits its palette.
    for (QWidget* control : controls)
        mSaved.push_back({ control, control->palette(), control->testAttribute(Qt::WA_SetPalette),
            control->autoFillBackground() });
    for (const Saved& saved : mSaved) {
        QPalette palette = saved.widget->palette();
        const bool recoloured = saved.widget == &window || takesButtonFace(*saved.widget);
        // Lines are drawn on the recoloured frames, so they take the text colour too.
        const auto* frame = qobject_cast<const QFrame*>(saved.widget.data());
        const bool drawnOnButtonFace = recoloured || (frame && isLine(*frame));
        for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled }) {
            palette.setColor(group, QPalette::Window,
                recoloured ? buttonFace : saved.palette.color(group, QPalette::Window));
            palette.setColor(group, QPalette::WindowText,
                drawnOnButtonFace ? buttonText : saved.palette.color(group, QPalette::WindowText));
        }
        saved.widget->setPalette(palette);
        if (recoloured)
            saved.widget->setAutoFillBackground(true);
    }
}

void SkinRecolouring::undo()
{
    for (auto saved = mSaved.rbegin(); saved != mSaved.rend(); ++saved) {
        if (!saved->widget)
            continue;
        // An empty palette hands the widget back to its parent's palette.
        saved->widget->setPalette(saved->ownPalette ? saved->palette : QPalette());
        saved->widget->setAutoFillBackground(saved->autoFill);
    }
    mSaved.clear();
}

void SkinRecolouring::collect(QWidget& container, std::vector<QWidget*>& controls)
{
    const QObjectList children = container.children();
    for (QObject* child : children) {
        auto* control = qobject_cast<QWidget*>(child);
        if (!control || control->isWindow())
            continue;
        controls.push_back(control);
        if (holdsControls(*control))
            collect(*control, controls);
    }
}
