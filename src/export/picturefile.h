#pragma once

#include <QString>

class QImage;

// Writes the picture in the given image format ("png", "bmp") under the target's exact name; an
// old file there is replaced only by a complete one. Throws AppError with a readable
// description on failure.
void savePicture(const QImage& picture, const QString& target, const char* format);
// The same as PNG; an empty picture is refused.
void savePicturePng(const QImage& picture, const QString& target);
// Writes the picture as an uncompressed 32-bit BMP, replacing what is at the target: a copy that
// lives for moments, so its lines are written as they are, unencoded, and not forced to the disk.
// Created readable by its owner alone; a file cut short by a failure is removed. Throws AppError
// with the system's reason on failure.
void writeBitmapFile(const QImage& picture, const QString& target);
