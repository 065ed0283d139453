// Times "Export as PDF…" of the preview from the menu command until the PDF is in place, on a
// result workbook made by a real generation run, with the program's warm office as the program
// has it after a run. Prints the median, minimum and maximum.
#include "app/dialogs.h"
#include "entry/form1.h"
#include "preview/form2.h"
#include "privatefolders.h"
#include "workbook/generationwiring.h"
#include "workbook/spreadsheetoffice.h"
// The program's start makes the process-wide settings; earlier trees made them with the run.
#if __has_include("app/processsettings.h")
#include "app/processsettings.h"
#define FERROWYND_BENCH_PROCESS_SETTINGS
#endif

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Every save dialog answers the next file; "Done." (right after the PDF is in place) notes the
// time; any other message spoils the round.
class AnsweringDialogs final : public Dialogs {
public:
    Answer message(QWidget*, const QString&, const QString& text, Icon, Buttons) override
    {
        if (text == QLatin1String("Done.")) {
            doneAfterMs = clock.nsecsElapsed() / 1e6;
        } else {
            std::fprintf(stderr, "message: %s\n", qPrintable(text));
            ++failures;
        }
        return Answer::Yes;
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return target; }
    QString saveFileNameAt(QWidget*, const QString&, const QString&, const QString&) override
    {
        return target;
    }
    QString target;
    int failures = 0;
    QElapsedTimer clock;
    double doneAfterMs = -1;
};

void report(const char* kind, std::vector<double> milliseconds)
{
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("%-40s median %7.1f ms   min %7.1f   max %7.1f   (%zu rounds)\n", kind,
        milliseconds[milliseconds.size() / 2], milliseconds.front(), milliseconds.back(),
        milliseconds.size());
}

} // namespace

int main(int argc, char* argv[])
{
    QTemporaryDir work;
    usePrivateFolders(work);
#ifdef FERROWYND_BENCH_PROCESS_SETTINGS
    applyProcessSettings();
#endif
    QApplication application(argc, argv);
    const int rounds = std::max(7, qEnvironmentVariableIntValue("FERROWYND_BENCH_ROUNDS"));

    AnsweringDialogs dialogs;
    Dialogs::install(&dialogs);
    const std::unique_ptr<SpreadsheetOffice> office
        = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    office->startAhead();
    Form1 form1;
    form1.Form_Load();
    form1.PushButton7->click();
    GenerationWiring* wiring = connectGenerationRun(form1, *office);
    form1.show();
    form1.PushButton22->click();
    Form2* preview = wiring->preview();
    if (!preview || dialogs.failures > 0 || !QFile::exists(preview->mExcelFile)) {
        std::fprintf(stderr, "the generation run gave no result workbook\n");
        return 1;
    }
    QAction* exportPdf = nullptr;
    for (QAction* action : preview->PictureMenu->actions()) {
        if (action->text() == QStringLiteral("&Export as PDF\u2026"))
            exportPdf = action;
    }
    if (!exportPdf) {
        std::fprintf(stderr, "the picture's menu has no Export as PDF\n");
        return 1;
    }

    std::vector<double> warmOffice;
    // Round 0 loads the export's libraries once; it is not counted.
    for (int round = 0; round <= rounds; ++round) {
        dialogs.target = work.filePath(QStringLiteral("estimate-%1.pdf").arg(round));
        dialogs.doneAfterMs = -1;
        dialogs.clock.start();
        exportPdf->trigger();
        const double elapsed = dialogs.doneAfterMs;
        QFile written(dialogs.target);
        if (dialogs.failures > 0 || elapsed < 0 || !written.open(QIODevice::ReadOnly)
            || !written.read(5).startsWith("%PDF")) {
            std::fprintf(stderr, "round %d wrote no PDF\n", round);
            return 1;
        }
        if (round > 0)
            warmOffice.push_back(elapsed);
    }
    report("menu command to PDF in place, warm office", warmOffice);
    return 0;
}
