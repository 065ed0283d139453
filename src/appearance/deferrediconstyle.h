#pragma once

#include <QProxyStyle>

// The style the desktop chose, with the overflow arrows of menu and tool bars made only when one
// is first drawn. Every menu bar asks for its arrow as it is made, though it shows it only when
// its menus do not fit; making it reads pictures, which loads every picture-format plugin, work
// that would otherwise wait in front of the main window's first paint.
class DeferredIconStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    QIcon standardIcon(
        StandardPixmap which, const QStyleOption* option, const QWidget* widget) const override;
};

// Puts the application's style (the desktop's, or the one -style or QT_STYLE_OVERRIDE names)
// behind a DeferredIconStyle, once. Called before the first widget is made.
void installDeferredIconStyle();
