#pragma once

#include <QIcon>
#include <QString>

// The program's own icon, shown by both windows and installed for the desktop.
inline const QString programIconResource = QStringLiteral(":/icons/ferrowynd.svg");

// Registers the icon resource on first use, which a static library needs before its resources
// can be found. Drawing it needs Qt's SVG icon plugin at run time, which is loaded when the icon
// is first drawn or asked about, not when a window is given it. The window system takes the icon
// at four sizes as a window is made, so the main window is given it once its first paint is on
// the screen, which comes a few milliseconds sooner that way.
QIcon programIcon();
