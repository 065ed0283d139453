#include "app/appicon.h"
#include "app/commandline.h"
#include "app/firstpaint.h"
#include "app/folders.h"
#include "app/fontconfigwarmup.h"
#include "app/processsettings.h"
#include "app/product.h"
#include "app/settingsstore.h"
#include "app/signalexit.h"
#include "appearance/applyskin.h"
#include "appearance/deferrediconstyle.h"
#include "entry/form1.h"
#include "plans/comparewindow.h"
#include "plans/planarguments.h"
#include "plans/plancommandline.h"
#include "plans/planmenu.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/generationwiring.h"
#include "workbook/officestartafterpaint.h"
#include "workbook/spreadsheetoffice.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName(Product::name);
    QCoreApplication::setApplicationVersion(QStringLiteral(FERROWYND_VERSION));
    {
        // Answered before a display is needed; plans run without a window on an office of their
        // own, which ends before this returns.
        const QCoreApplication commandLine(argc, argv);
        if (const std::optional<int> status = answerCommandLine(
                QCoreApplication::arguments(), spreadsheetOfficeProgram, planUsage()))
            return *status;
        if (const std::optional<int> status = runPlanCommandLine(QCoreApplication::arguments()))
            return *status;
    }

    FontConfigWarmUp fontConfig;
    applyProcessSettings();
    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral(FERROWYND_DESKTOP_ID));
    installDeferredIconStyle();
    // Logout, a closed terminal or Ctrl+C end the program as closing it does: the inputs on disk,
    // then the windows, the office and the run's folder (with the preview's result) go in order
    // on the way out of main.
    const SignalExit signalExit([] { SettingsStore::flush(); });
    // Run folders of programs that were killed hold a household's figures: they go at once.
    removeAbandonedTemporaryFolders();

    // The one office of the program, with the template's kind of workbook loaded once as it
    // starts; it ends with this object, and with the program however that ends. The start check
    // asks for it, and it starts once the main window has painted: only then is the office
    // module (workbook/libreoffice/officemodule.h) loaded.
    const std::unique_ptr<SpreadsheetOffice> office
        = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    office->holdStart();
    // The window's first text is measured next.
    fontConfig.finish();
    Form1 form1({ [](QWidget& window) { ApplySkin(window); },
        [&office] { return CheckExcelInstance(*office); } });
    GenerationWiring* wiring = connectGenerationRun(form1, *office);
    if (!form1.Form_Load())
        return 1;
    auto* planMenu = new PlanMenu(form1, spreadsheetOfficeProgram());
    QObject::connect(planMenu, &PlanMenu::compareRequested, &form1,
        [&form1, &office, wiring] { openCompareWindow(form1, *office, *wiring); });
    if (const QString plan = fileArgument(QCoreApplication::arguments(), PlanFile::suffix);
        !plan.isEmpty())
        planMenu->openAtStart(plan);
    // A signal taken while starting up, before the loop that would end with it.
    if (signalExit.received() != 0)
        return 128 + signalExit.received();
    // The icon is drawn at the sizes the window system takes once the window is on the screen.
    form1.setWindowIcon(QIcon());
    afterFirstPaint(form1, [&form1] {
        QApplication::setWindowIcon(programIcon());
        form1.setWindowIcon(programIcon());
    });
    releaseOfficeStartAfterFirstPaint(form1, *office);
    form1.show();
    return QApplication::exec();
}
