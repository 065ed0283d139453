#include "app/appicon.h"
#include "app/commandline.h"
#include "app/product.h"
#include "appearance/applyskin.h"
#include "entry/form1.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/generationwiring.h"
#include "workbook/libreoffice/officeprogram.h"
#include "workbook/officestartafterpaint.h"
#include "workbook/spreadsheetoffice.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(Product::name);
    QCoreApplication::setApplicationVersion(QStringLiteral(FERROWYND_VERSION));
    {
        // Answered before a display or an office is needed.
        const QCoreApplication commandLine(argc, argv);
        if (const std::optional<int> status
            = answerCommandLine(QCoreApplication::arguments(), officeProgramPath))
            return *status;
    }

    QApplication application(argc, argv);
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(FERROWYND_DESKTOP_ID));

    // The one office of the program, with the template's kind of workbook loaded once as it
    // starts; it ends with this object, and with the program however that ends. The start check
    // asks for it, and it starts once the main window has painted.
    const std::unique_ptr<SpreadsheetOffice> office
        = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    office->holdStart();
    Form1 form1({ [](QWidget& window) { ApplySkin(window); },
        [&office] { return CheckExcelInstance(*office); } });
    connectGenerationRun(form1, *office);
    if (!form1.Form_Load())
        return 1;
    releaseOfficeStartAfterFirstPaint(form1, *office);
    form1.show();
    return QApplication::exec();
}
