#pragma once

#include <QCursor>
#include <QString>

// Loads a Windows cursor file (.cur) as a QCursor whose hotspot is the one the file declares.
// Throws AppError when the file cannot be read or holds no cursor image.
QCursor loadCursorFile(const QString& path);
