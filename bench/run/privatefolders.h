#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// The benchmark's own temporary folder and settings store inside work: nothing of the user's is
// read or written.
inline void usePrivateFolders(const QTemporaryDir& work)
{
    qputenv("TEMP", QFile::encodeName(work.filePath(QStringLiteral("temp"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.filePath(QStringLiteral("config"))));
    QDir().mkpath(work.filePath(QStringLiteral("temp")));
}
