#pragma once

#include <QString>

// Where the run's files go: "TEMP" when set and not empty, otherwise the system's temporary
// folder. Nothing is ever written there directly.
QString temporaryBase();
// This program's own folder for the run's files, made on first use inside temporaryBase() with a
// name no one had, mode 0700, and removed when the program ends; another program, or a file
// planted in the base, never shares it. A changed base gets a folder of its own. Throws AppError
// when the folder cannot be made.
QString temporaryFolder();
// temporaryFolder() joined with a file name.
QString temporaryFile(const QString& fileName);
// Removes this program's run folders now, with what is in them (the program is ending).
void removeTemporaryFolders();
// Removes the run folders in temporaryBase() of this user's programs that have ended; how many.
int removeAbandonedTemporaryFolders();

// The folder of the program file; the skin and the hand pointer file are looked up there.
QString installationFolder();
QString installationFile(const QString& relativePath);
