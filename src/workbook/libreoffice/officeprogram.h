#pragma once

#include <QString>

// Where the office program is: the path in FERROWYND_SOFFICE when that is set; otherwise
// soffice.bin in the program folder that `soffice` on PATH leads to; otherwise the default
// installation. The result need not exist.
QString officeProgramPath();

// officeProgramPath(), or AppError saying that LibreOffice is not installed.
QString requireOfficeProgram();

// The version the installation's configuration announces ("7.4"), read without starting it;
// empty when it cannot be read.
QString installedOfficeVersion(const QString& programPath);
