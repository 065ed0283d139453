#include "errorreport.h"

#include "dialogs.h"
#include "product.h"

#include <QApplication>

QString errorReportText(const QString& description, const QString& procedure, int line)
{
    return description + QStringLiteral("\r\n") + Product::reportStamp + procedure
        + QStringLiteral(" at line ") + QString::number(line) + QStringLiteral("\r\r")
        + QStringLiteral("Please email screenshot of this message to ") + Product::supportEmail;
}

void showErrorReport(const QString& description, const QString& procedure, int line)
{
    Dialogs::current().message(QApplication::activeWindow(), QStringLiteral("Application Error"),
        errorReportText(description, procedure, line), Dialogs::Icon::Warning,
        Dialogs::Buttons::Ok);
}
