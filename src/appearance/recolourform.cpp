#include "recolourform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {

void giveBackground(QWidget& widget, const QColor& colour)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
}

bool takesButtonFace(const QWidget* control)
{
    return qobject_cast<const QGroupBox*>(control) || qobject_cast<const QLabel*>(control)
        || qobject_cast<const QCheckBox*>(control) || qobject_cast<const QRadioButton*>(control);
}

} // namespace

void RecolourForm(QWidget& form)
{
    const QColor buttonFace = form.palette().color(QPalette::Button);
    giveBackground(form, buttonFace);
    const auto controls = form.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (takesButtonFace(control))
            giveBackground(*control, buttonFace);
    }
}
