#pragma once

#include <QByteArray>
#include <QString>

// The template workbook's bytes from its resource (or a test's file); throws AppError with the
// reason when it cannot be read.
QByteArray loadTemplate(const QString& resource);
