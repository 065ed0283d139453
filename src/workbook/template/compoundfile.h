#pragma once

#include <QByteArray>
#include <QString>

// A stream of a compound file (the container of 97-2003 workbooks), read from the file's bytes
// without an office. Empty when the bytes are no compound file, have no such stream, or a chain
// of sectors that leaves the file or loops; callers treat that as "unknown".
QByteArray compoundFileStream(const QByteArray& file, const QString& name);
