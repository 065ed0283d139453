#pragma once

#include <QByteArray>
#include <QString>

// The Qt resource that holds the template workbook the build authored ("CUSTOM" 101).
inline const QString templateResourcePath = QStringLiteral(":/CUSTOM/101");

// The embedded template workbook's bytes; throws AppError when the program carries none.
QByteArray templateWorkbookBytes();
