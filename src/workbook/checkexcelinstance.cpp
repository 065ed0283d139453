#include "checkexcelinstance.h"

#include "app/dialogs.h"
#include "spreadsheetoffice.h"

#include <QCoreApplication>

#include <QStringList>
#include <cstdio>

namespace {

QString notInstalledMessage()
{
    return QStringList {
        QStringLiteral("Error 842001. A normal instance of Excel could not be created."),
        QStringLiteral("1. Please make sure Excel is installed on this computer."),
        QStringLiteral("2. Please open Excel normally and make sure a blank spreadsheet opens "
                       "immediately without any interrupting window (such as an Excel file "
                       "recovery window)."),
        QStringLiteral("3. Please make sure that when you double-click on a XLS or XLSX file that "
                       "Excel opens normally without any interrupting messages."),
        QStringLiteral("4. All versions of Excel are supported by this software except for the "
                       "rare Excel Starter and Student editions."),
    }
        .join(QStringLiteral("\r\n\r\n"));
}

void explainMissingOffice()
{
    showPlainMessage(nullptr, notInstalledMessage());
    std::fputs("Ferrowynd needs LibreOffice Calc: install the Debian package "
               "libreoffice-calc-nogui.\n",
        stderr);
}

} // namespace

bool CheckExcelInstance(SpreadsheetOffice& office)
{
    try {
        office.startAhead();
    } catch (...) {
        // Whatever went wrong, the answer is the message below.
        explainMissingOffice();
        return false;
    }
    office.setStartFailureHandler([] {
        explainMissingOffice();
        QCoreApplication::exit(1);
    });
    return true;
}
