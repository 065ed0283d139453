#pragma once

#include <QByteArray>
#include <QString>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <functional>

// The "Workbook" stream of a saved 97-2003 file, read and replaced through the office's own
// compound-file storage, which keeps the other streams and the file's class id as they are.
// Both throw AppError when the file cannot be opened or has no such stream.
QByteArray readWorkbookStream(
    const css::uno::Reference<css::uno::XComponentContext>& context, const QString& path);
void rewriteWorkbookStream(const css::uno::Reference<css::uno::XComponentContext>& context,
    const QString& path, const std::function<QByteArray(const QByteArray&)>& change);
