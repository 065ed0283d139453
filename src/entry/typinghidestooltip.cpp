#include "typinghidestooltip.h"

#include <QEvent>
#include <QToolTip>

bool TypingHidesToolTip::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && QToolTip::isVisible())
        QToolTip::hideText();
    return QObject::eventFilter(watched, event);
}
