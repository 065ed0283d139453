#pragma once

#include <QString>

// The folder for the run's temporary files: "TEMP" when set and not empty, otherwise a private
// per-user folder ferrowynd-<uid> under the system's temporary path, created with mode 0700.
// Throws AppError when the private folder is not a real directory owned by the user.
QString temporaryFolder();
// temporaryFolder() joined with a file name.
QString temporaryFile(const QString& fileName);

// The folder of the program file; the skin and the hand pointer file are looked up there.
QString installationFolder();
QString installationFile(const QString& relativePath);
