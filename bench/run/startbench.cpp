// Starts the program as main() does (skin and spreadsheet start check included) and prints the
// moment the main window is first painted, in nanoseconds since the epoch, then ends.
// --no-head-start starts the check's office only when the check runs. Built against a tree from
// before offices were started ahead, FERROWYND_BENCH_EARLIER_TREE is defined.
#include "app/appicon.h"
#include "app/product.h"
#include "appearance/applyskin.h"
#include "entry/form1.h"
#include "workbook/checkexcelinstance.h"
#include "workbook/generationwiring.h"
#include "workbook/spreadsheetapplication.h"

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
    QApplication application(argc, argv);
    QApplication::setApplicationName(Product::name);
    QApplication::setWindowIcon(programIcon());

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
    FirstPaint firstPaint;
    form1.installEventFilter(&firstPaint);
    form1.show();
    const int status = QApplication::exec();
    waitForQuitSpreadsheets();
    return status;
}
