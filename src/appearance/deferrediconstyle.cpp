#include "deferrediconstyle.h"

#include "app/deferredicon.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

QIcon DeferredIconStyle::standardIcon(
    StandardPixmap which, const QStyleOption* option, const QWidget* widget) const
{
    // An option given is read now or never: it does not outlive the call.
    if (option
        || (which != SP_ToolBarHorizontalExtensionButton
            && which != SP_ToolBarVerticalExtensionButton))
        return QProxyStyle::standardIcon(which, option, widget);
    const QPointer<QStyle> base = baseStyle();
    const QPointer<QWidget> asking = const_cast<QWidget*>(widget);
    return deferredIcon(
        QStringLiteral("ferrowynd-standard-icon-%1").arg(which),
        [base, asking, which] {
            return base ? base->standardIcon(which, nullptr, asking.data()) : QIcon();
        },
        [base] { return !base.isNull(); });
}

void installDeferredIconStyle()
{
    if (dynamic_cast<DeferredIconStyle*>(QApplication::style()))
        return;
    QApplication::setStyle(new DeferredIconStyle(QApplication::style()));
}
