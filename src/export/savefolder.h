#pragma once

#include <QString>

// The folder the user last saved a result to in this run of the program (the workbook or its
// PDF); the home folder until then.
QString lastSaveFolder();
void rememberSaveFolder(const QString& savedFile);

// Where the save dialog of an export starts: the result's own name with the given suffix in
// lastSaveFolder(), e.g. FW12345678.xls -> <folder>/FW12345678.pdf.
QString proposedExportPath(const QString& resultWorkbook, const QString& suffix);
