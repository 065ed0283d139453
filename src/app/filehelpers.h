#pragma once

#include <QByteArray>
#include <QString>

// True exactly when the file's modification time can be read; never reports.
bool FileExists(const QString& path);
// Lets pending events run, then deletes the file, forcing it when the plain delete fails.
// Never reports.
void KillFile(const QString& path);
// Gives the owner write permission, then removes the file. Throws AppError on failure.
void ForceDeleteFile(const QString& path);
// Writes the whole byte array to the path, replacing what was there. Throws AppError on failure.
void WriteBytesToFile(const QByteArray& bytes, const QString& path);
