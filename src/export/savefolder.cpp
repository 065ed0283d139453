#include "savefolder.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString& savedFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString lastSaveFolder()
{
    const QString& folder = savedFolder();
    return folder.isEmpty() || !QFileInfo(folder).isDir() ? QDir::homePath() : folder;
}

void rememberSaveFolder(const QString& savedFile)
{
    if (!savedFile.isEmpty())
        savedFolder() = QFileInfo(savedFile).absolutePath();
}

QString proposedExportPath(const QString& resultWorkbook, const QString& suffix)
{
    return QDir(lastSaveFolder()).filePath(QFileInfo(resultWorkbook).completeBaseName() + suffix);
}
