#pragma once

#include <QtGlobal>

// The warm office is replaced between runs once its resident memory passes this.
constexpr qint64 officeMemoryLimit = 180LL * 1024 * 1024;

// The resident memory of a process in bytes; 0 when it cannot be read (the process is gone).
qint64 residentBytes(qint64 pid);
