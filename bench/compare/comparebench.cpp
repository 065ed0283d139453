// Times Compare Plans with six plans, each differing from the others in the wages, from the
// compare action after the choice until the comparison window is shown, on the warm office;
// and the longest gap between two turns of the event loop meanwhile (a zero timer that notes
// how long it waited). Prints each round and the medians. Usage: comparebench [rounds]
// "comparebench --show N" instead leaves the comparison of the first N plans on the screen until
// it is closed, to be looked at; "--show N FILE" makes FILE what the save dialogs answer.
#include "app/dialogs.h"
#include "app/folders.h"
#include "app/processsettings.h"
#include "entry/form1.h"
#include "plans/comparerunner.h"
#include "plans/comparewindow.h"
#include "privatefolders.h"
#include "workbook/generationwiring.h"
#include "workbook/spreadsheetoffice.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

// Answers the choice with the six plans and "no" to the current fields; any other message
// counts as a failed measurement.
class ChoosingDialogs final : public Dialogs {
public:
    Answer message(QWidget*, const QString&, const QString& text, Icon, Buttons buttons) override
    {
        if (buttons == Buttons::YesNo)
            return Answer::No;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        ++failures;
        return Answer::Ok;
    }
    QString saveFileName(QWidget*, const QString&, const QString&) override { return savePath; }
    QStringList openFileNames(QWidget*, const QString&, const QString&, bool) override
    {
        return plans;
    }
    QStringList plans;
    // Where "Save as CSV…" and "Export PDF…" write in the --show mode.
    QString savePath;
    int failures = 0;
};

qint64 median(std::vector<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(values.size() / 2);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication application(argc, argv);
    applyProcessSettings();
    const bool show = argc > 2 && QByteArray(argv[1]) == "--show";
    const int rounds = show ? 0 : argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    QTemporaryDir work;
    usePrivateFolders(work);
    ChoosingDialogs dialogs;
    Dialogs::install(&dialogs);
    const QStringList names { "Retire at 62", "Retire at 67", "After the move", "Part-time at 60",
        "Smaller house", "Retire at 70" };
    for (int plan = 1; plan <= 6; ++plan) {
        const QString path = work.filePath(names.at(plan - 1) + QStringLiteral(".ferrowynd"));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(QStringLiteral("[Plan]\nFormatVersion=1\n[Ferrowynd]\ntxtIncome0=%1\n"
                                  "txtExpense0=%2\ndtHusbandDOB=11/4/1965\n")
                       .arg(4000 + plan * 500)
                       .arg(plan == 3 ? 900 : 1200)
                       .toUtf8());
        dialogs.plans << path;
    }
    auto office = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    office->startAhead();
    if (!office->awaitStart())
        return 1;
    Form1 form;
    if (!form.Form_Load())
        return 1;
    form.show();
    GenerationWiring* wiring = connectGenerationRun(form, *office);
    if (show) {
        dialogs.plans = dialogs.plans.mid(0, std::clamp(atoi(argv[2]), 2, 6));
        dialogs.savePath = argc > 3 ? QString::fromLocal8Bit(argv[3]) : QString();
        openCompareWindow(form, *office, *wiring);
        return QApplication::exec();
    }

    std::vector<qint64> shown;
    std::vector<qint64> gaps;
    for (int round = 0; round <= rounds; ++round) {
        qint64 longestGap = 0;
        QElapsedTimer sinceTurn;
        QTimer heartbeat;
        heartbeat.setInterval(0);
        QObject::connect(&heartbeat, &QTimer::timeout,
            [&] { longestGap = std::max(longestGap, sinceTurn.restart()); });
        QElapsedTimer clock;
        clock.start();
        sinceTurn.start();
        heartbeat.start();
        openCompareWindow(form, *office, *wiring);
        CompareWindow* window = nullptr;
        while (!(window = form.findChild<CompareWindow*>()) || !window->isVisible())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const qint64 elapsed = clock.elapsed();
        heartbeat.stop();
        const CompareRunner* runner = window->findChild<CompareRunner*>();
        const qint64 longestStep = runner->longestTurnMs();
        // The first round warms the office and is not counted.
        std::printf("%s %d: %lld ms to the table, longest event-loop gap %lld ms, longest step "
                    "%lld ms (%s), %d columns\n",
            round == 0 ? "warm-up" : "round", round, static_cast<long long>(elapsed),
            static_cast<long long>(longestGap), static_cast<long long>(longestStep),
            qPrintable(runner->longestStep()), window->comparison().planNames().size());
        if (round > 0) {
            shown.push_back(elapsed);
            gaps.push_back(longestGap);
        }
        delete window;
        QCoreApplication::processEvents();
    }
    std::printf("six plans, median of %d: %lld ms from the compare action to the table shown; "
                "longest event-loop gap %lld ms (median), %lld ms (worst); %d messages\n",
        rounds, static_cast<long long>(median(shown)), static_cast<long long>(median(gaps)),
        static_cast<long long>(*std::max_element(gaps.begin(), gaps.end())), dialogs.failures);
    Dialogs::install(nullptr);
    // Before the benchmark's own folder, which holds it, goes.
    removeTemporaryFolders();
    return dialogs.failures == 0 ? 0 : 1;
}
