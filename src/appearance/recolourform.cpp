#include "recolourform.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QWidget>

namespace {

// The text drawn on the new background takes the colour meant for it.
void giveBackground(QWidget& widget, const QColor& colour, const QColor& text)
{
    QPalette palette = widget.palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::WindowText, text);
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
    const QColor buttonText = form.palette().color(QPalette::ButtonText);
    giveBackground(form, buttonFace, buttonText);
    const auto controls = form.findChildren<QWidget*>();
    for (QWidget* control : controls) {
        if (takesButtonFace(control))
            giveBackground(*control, buttonFace, buttonText);
    }
}
