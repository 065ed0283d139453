#pragma once

#include <QIcon>
#include <QString>

// The program's own icon, shown by both windows and installed for the desktop.
inline const QString programIconResource = QStringLiteral(":/icons/ferrowynd.svg");

// Registers the icon resource on first use, which a static library needs before its resources
// can be found. Drawing it needs Qt's SVG icon plugin at run time.
QIcon programIcon();

// The same icon drawn once, at one size: what the program's windows carry until the main window's
// first paint is on the screen. The window system takes the scalable icon at four sizes, and
// drawing them would delay that paint by a few milliseconds.
QIcon programStartIcon();
