#pragma once

#include <QString>

// Writes the text as UTF-8 so that the file is complete or untouched; AppError with the system's
// reason otherwise.
void writeTextFile(const QString& path, const QString& text);
