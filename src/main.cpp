#include "app/appicon.h"
#include "app/commandline.h"
#include "app/product.h"
#include "appearance/applyskin.h"
#include "entry/form1.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/generationwiring.h"
#include "workbook/libreoffice/officeprogram.h"
#include "workbook/spreadsheetapplication.h"

#include <QApplication>
#include <QTimer>

namespace {
constexpr int startCheckReapDelayMs = 500;
}

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

    // The start check's office comes up while the main window is built.
    std::unique_ptr<SpreadsheetHeadStart> checkHeadStart = startNextSpreadsheetAhead();
    Form1 form1(
        { [](QWidget& window) { ApplySkin(window); }, [] { return CheckExcelInstance(); } });
    connectGenerationRun(form1);
    const bool loaded = form1.Form_Load();
    checkHeadStart.reset();
    if (!loaded) {
        waitForQuitSpreadsheets();
        return 1;
    }
    form1.show();
    // By then the start check's office has ended; reaping it no longer holds up the window.
    QTimer::singleShot(startCheckReapDelayMs, [] { waitForQuitSpreadsheets(); });
    const int status = QApplication::exec();
    waitForQuitSpreadsheets();
    return status;
}
