#pragma once

#include <QString>

// The standard error report: description, CR LF, the stamp with the procedure and line, two CRs,
// and the request to mail a screenshot to support.
QString errorReportText(const QString& description, const QString& procedure, int line);
void showErrorReport(const QString& description, const QString& procedure, int line);
