// Times "Export as PDF…" of the preview from the menu command until the PDF is in place, on a
// result workbook made by a real generation run. Two kinds of rounds alternate so that both see
// the same load: the command starting its own office, and an office started ahead of the click
// (what a warm office gives). Prints the median, minimum and maximum of each.
#include "app/dialogs.h"
#include "entry/form1.h"
#include "preview/form2.h"
#include "workbook/generationwiring.h"
#include "workbook/spreadsheetapplication.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
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
    qputenv("TEMP", QFile::encodeName(work.filePath(QStringLiteral("temp"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.filePath(QStringLiteral("config"))));
    QDir().mkpath(work.filePath(QStringLiteral("temp")));
    QApplication application(argc, argv);
    const int rounds = std::max(7, qEnvironmentVariableIntValue("FERROWYND_BENCH_ROUNDS"));

    AnsweringDialogs dialogs;
    Dialogs::install(&dialogs);
    Form1 form1;
    form1.Form_Load();
    form1.PushButton7->click();
    GenerationWiring* wiring = connectGenerationRun(form1);
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

    std::vector<double> ownOffice;
    std::vector<double> officeAhead;
    // Round 0 loads the libraries once; it is not counted.
    for (int round = 0; round <= rounds; ++round) {
        for (bool ahead : { false, true }) {
            std::unique_ptr<SpreadsheetHeadStart> headStart;
            if (ahead) {
                headStart = startNextSpreadsheetAhead();
                QTest::qWait(2000);
            }
            dialogs.target = work.filePath(
                QStringLiteral("estimate-%1-%2.pdf").arg(round).arg(ahead ? "ahead" : "own"));
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
            headStart.reset();
            waitForQuitSpreadsheets();
            if (round > 0)
                (ahead ? officeAhead : ownOffice).push_back(elapsed);
        }
    }
    report("menu command to PDF in place, own office", ownOffice);
    report("menu command to PDF in place, office ahead", officeAhead);
    return 0;
}
