#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

class QFileDevice;
class QSaveFile;

// True exactly when the file's modification time can be read; never reports.
bool FileExists(const QString& path);
// Lets pending events run, then deletes the file, forcing it when the plain delete fails.
// Never reports.
void KillFile(const QString& path);
// Gives the owner write permission, then removes the file. Throws AppError on failure.
void ForceDeleteFile(const QString& path);
// Makes the file readable and writable by its owner alone: files that hold the household's
// figures, whatever the umask of the process that wrote them. Never reports.
void KeepPrivate(const QString& path);
// Writes the whole byte array to the path, replacing what was there. Throws AppError on failure.
void WriteBytesToFile(const QByteArray& bytes, const QString& path);
// Opens the save file unbuffered, so that every write reaches the system at once: a buffered
// one's failed flush in commit() (a full disk, the file size limit) goes unseen, and the cut
// short file replaces the old one. Throws AppError "Path/File access error: ..." on failure.
void OpenSaveFile(QSaveFile& file);
// Writes all the bytes to a file opened unbuffered (a save file by OpenSaveFile), resuming after
// short writes. Throws AppError "Disk error writing <file> (<the system's reason>)" on failure; a
// save file then must not be committed.
void WriteAllBytes(QFileDevice& file, QByteArrayView bytes);
