#pragma once

#include <QString>

class QWidget;

// Where the optional skin is looked for: x/o.cjs in the installation folder.
QString skinFilePath();

// Dresses the main window in the skin when the skin file is present beside the program: the
// window's plain controls take the button-face colour, then the window's SkinFramework1 loads
// the file and applies it. Without the file nothing happens. A failure rises to the caller and
// leaves the window with its designed colours.
void ApplySkin(QWidget& mainWindow);
