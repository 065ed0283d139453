#pragma once

#include <QString>

class QImage;

// Writes the picture as a PNG file under the target's exact name; an old file there is replaced
// only by a complete one. Throws AppError with a readable description on failure.
void savePicturePng(const QImage& picture, const QString& target);
