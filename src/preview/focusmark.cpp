#include "focusmark.h"

#include <QEvent>
#include <QPainter>

namespace {

constexpr int ringWidth = 2;

} // namespace

FocusMark::FocusMark(QWidget* control)
    : QWidget(control)
    , mControl(control)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    control->installEventFilter(this);
    // Above whatever the control shows inside its border.
    raise();
    follow();
}

bool FocusMark::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mControl) {
        switch (event->type()) {
        case QEvent::FocusIn:
        case QEvent::FocusOut:
        case QEvent::Resize:
            follow();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FocusMark::follow()
{
    setGeometry(mControl->rect());
    setVisible(mControl->hasFocus());
}

void FocusMark::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), ringWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.drawRect(QRectF(rect()).adjusted(
        ringWidth / 2.0, ringWidth / 2.0, -ringWidth / 2.0, -ringWidth / 2.0));
}
