#pragma once

#include <QString>

class QImage;

// Writes the picture in the given image format ("png", "bmp") under the target's exact name; an
// old file there is replaced only by a complete one. Throws AppError with a readable
// description on failure.
void savePicture(const QImage& picture, const QString& target, const char* format);
// The same as PNG; an empty picture is refused.
void savePicturePng(const QImage& picture, const QString& target);
