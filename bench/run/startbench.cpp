// Starts the program as main() does (skin and spreadsheet start check included) and prints the
// moment the main window is first painted, in nanoseconds since the epoch, then ends.
// --no-head-start starts the check's office only when the check runs. Built against a tree from
// before offices were started ahead, FERROWYND_BENCH_EARLIER_TREE is defined; against one with
// the program's warm office, FERROWYND_BENCH_WARM_OFFICE.
#include "app/appicon.h"
#include "app/product.h"
#include "appearance/applyskin.h"
#include "entry/form1.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/generationwiring.h"
#include "workbook/spreadsheetapplication.h"
#ifdef FERROWYND_BENCH_WARM_OFFICE
#include "workbook/spreadsheetoffice.h"
#endif
// The program's start makes the process-wide settings; earlier trees made them with the run.
#if __has_include("app/processsettings.h")
#include "app/processsettings.h"
#define FERROWYND_BENCH_PROCESS_SETTINGS
#endif

#include <QApplication>
#include <QDateTime>
#include <QEvent>
#include <cstdio>

namespace {

class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !mSeen) {
            mSeen = true;
            std::printf("shown %lld\n",
                static_cast<long long>(QDateTime::currentMSecsSinceEpoch()) * 1000000LL);
            std::fflush(stdout);
            QMetaObject::invokeMethod(
                qApp, [] { QCoreApplication::exit(0); }, Qt::QueuedConnection);
        }
        return false;
    }

private:
    bool mSeen = false;
};

} // namespace

int main(int argc, char* argv[])
{
#ifdef FERROWYND_BENCH_PROCESS_SETTINGS
    applyProcessSettings();
#endif
    QApplication application(argc, argv);
    QApplication::setApplicationName(Product::name);
    QApplication::setWindowIcon(programIcon());

#if defined(FERROWYND_BENCH_WARM_OFFICE)
    const std::unique_ptr<SpreadsheetOffice> office
        = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    if (!application.arguments().contains(QStringLiteral("--no-head-start"))) {
        try {
            office->startAhead();
        } catch (...) {
        }
    }
    Form1 form1({ [](QWidget& window) { ApplySkin(window); },
        [&office] { return CheckExcelInstance(*office); } });
    connectGenerationRun(form1, *office);
    if (!form1.Form_Load())
        return 1;
#else
#ifndef FERROWYND_BENCH_EARLIER_TREE
    std::unique_ptr<SpreadsheetHeadStart> checkHeadStart;
    if (!application.arguments().contains(QStringLiteral("--no-head-start")))
        checkHeadStart = startNextSpreadsheetAhead();
#endif
    Form1 form1(
        { [](QWidget& window) { ApplySkin(window); }, [] { return CheckExcelInstance(); } });
    connectGenerationRun(form1);
    const bool loaded = form1.Form_Load();
#ifndef FERROWYND_BENCH_EARLIER_TREE
    checkHeadStart.reset();
#endif
    if (!loaded)
        return 1;
#endif
    FirstPaint firstPaint;
    form1.installEventFilter(&firstPaint);
    form1.show();
    const int status = QApplication::exec();
#ifndef FERROWYND_BENCH_WARM_OFFICE
    waitForQuitSpreadsheets();
#endif
    return status;
}
