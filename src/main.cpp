#include "app/appicon.h"
#include "app/commandline.h"
#include "app/folders.h"
#include "app/processsettings.h"
#include "app/product.h"
#include "app/settingsstore.h"
#include "app/signalexit.h"
#include "appearance/applyskin.h"
#include "entry/form1.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/generationwiring.h"
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
            = answerCommandLine(QCoreApplication::arguments(), spreadsheetOfficeProgram))
            return *status;
    }

    applyProcessSettings();
    QApplication application(argc, argv);
    QApplication::setWindowIcon(programIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral(FERROWYND_DESKTOP_ID));
    // Logout, a closed terminal or Ctrl+C end the program as closing it does: the inputs on disk,
    // then the windows, the office and the run's folder (with the preview's result) go in order
    // on the way out of main.
    const SignalExit signalExit([] { SettingsStore::flush(); });
    // Run folders of programs that were killed hold a household's figures: they go at once.
    removeAbandonedTemporaryFolders();

    // The one office of the program comes up while the main window is built, with the template's
    // kind of workbook loaded once; it ends with this object, and with the program however that
    // ends.
    const std::unique_ptr<SpreadsheetOffice> office
        = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    try {
        office->startAhead();
    } catch (...) {
        // The start check says so.
    }
    Form1 form1({ [](QWidget& window) { ApplySkin(window); },
        [&office] { return CheckExcelInstance(*office); } });
    connectGenerationRun(form1, *office);
    if (!form1.Form_Load())
        return 1;
    // A signal taken while starting up, before the loop that would end with it.
    if (signalExit.received() != 0)
        return 128 + signalExit.received();
    form1.show();
    return QApplication::exec();
}
