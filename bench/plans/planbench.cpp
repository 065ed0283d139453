// Plans run without a window on one warm office: the time per plan with runAll (only the .xls,
// and every output with the results read), and each step's time when run one at a time, as a
// window runs them between events.
#include "app/folders.h"
#include "entry/fieldcatalogue.h"
#include "entry/storeddate.h"
#include "plans/planfields.h"
#include "plans/planrun.h"
#include "workbook/runclock.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"
#include "workbook/templatefill.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMap>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

QHash<QString, QString> household(int variant)
{
    QHash<QString, QString> inputs;
    for (const FieldCatalogue::Field& field : FieldCatalogue::fields())
        inputs.insert(FieldCatalogue::settingsKey(field.group, field.index), QStringLiteral("0"));
    inputs["txtIncome0"] = "$4,500.00";
    inputs["txtIncome1"] = "$1,500.00";
    inputs["txtExpense12"] = QStringLiteral("$%1.00").arg(1000 + 10 * variant);
    inputs["txtOther0"] = "11";
    inputs["txtOther1"] = "5";
    inputs["txtOther2"] = "3";
    inputs["txtOther5"] = "90";
    inputs["txtOther8"] = "67";
    inputs["txtOther9"] = "65";
    for (int index = 0; index < 16; ++index)
        inputs[QStringLiteral("txtSavings%1").arg(index)] = QStringLiteral("$%1,000.00").arg(index);
    inputs["dtHusbandDOB"] = StoredDate::toText(QDate(1965, 11, 4));
    inputs["dtWifeDOB"] = StoredDate::toText(QDate(1966, 1, 24));
    return inputs;
}

double median(QVector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void check(const PlanRunResult& result)
{
    if (!result.succeeded) {
        std::fprintf(stderr, "plan failed %s: %s\n", qPrintable(result.failedStep),
            qPrintable(result.error));
        std::exit(1);
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QGuiApplication application(argc, argv);
    const int plans = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir temp;
    QTemporaryDir out;
    qputenv("TEMP", QFile::encodeName(temp.path()));
    int code = 0;
    {
        QElapsedTimer clock;
        clock.start();
        const auto office = createSpreadsheetOffice();
        office->startAhead();
        if (!office->awaitStart())
            return 1;
        std::printf("office up            %7.1f ms\n", clock.nsecsElapsed() / 1e6);
        // The first runs load the office's libraries.
        for (int warm = 0; warm < 3; ++warm)
            check(PlanRun(*office, household(warm),
                { out.filePath("w.xls"), out.filePath("w.pdf"), out.filePath("w.png") }, true)
                      .runAll());

        const auto series = [&](const char* name, bool everything) {
            QVector<double> times;
            for (int plan = 0; plan < plans; ++plan) {
                const QString base = out.filePath(QString::number(plan));
                PlanOutputs outputs { base + ".xls", {}, {} };
                if (everything) {
                    outputs.pdf = base + ".pdf";
                    outputs.png = base + ".png";
                }
                clock.restart();
                {
                    PlanRun run(*office, household(plan), outputs, everything);
                    check(run.runAll());
                }
                times << clock.nsecsElapsed() / 1e6;
            }
            std::printf("%-20s median %7.1f ms, min %7.1f, max %7.1f (%d plans)\n", name,
                median(times), *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()), plans);
        };
        series("runAll, xls only", false);
        series("runAll, everything", true);

        // Step by step: as the command line runs them (the .xls alone), and as a
        // window runs them, the results alone (a comparison), then every output as well. Each
        // step's median and longest time.
        const auto stepwise = [&](const char* title, bool outputs, bool commandLine) {
            QMap<QString, QVector<double>> steps;
            // Each step name's time within one plan, summed over its calls.
            QMap<QString, QVector<double>> perPlan;
            for (int plan = 0; plan < plans; ++plan) {
                const QString base = out.filePath(QStringLiteral("s%1").arg(plan));
                PlanOutputs written;
                if (outputs)
                    written = { base + ".xls", base + ".pdf", base + ".png" };
                else if (commandLine)
                    written.xls = base + ".xls";
                // What runAll would run for the command line's .xls: no results to read.
                PlanRun run(*office, household(plan), written, !commandLine);
                QMap<QString, double> planTimes;
                while (!run.finished()) {
                    const QString name = run.nextStepName();
                    clock.restart();
                    run.step();
                    // The fill and the reading are several steps of one name: each counts alone.
                    steps[name] << clock.nsecsElapsed() / 1e6;
                    planTimes[name] += clock.nsecsElapsed() / 1e6;
                }
                check(run.result());
                for (auto time = planTimes.cbegin(); time != planTimes.cend(); ++time)
                    perPlan[time.key()] << time.value();
            }
            double longest = 0;
            QString longestName;
            std::printf(
                "%s\n  step (each call)               median     max   calls  per plan\n", title);
            for (auto step = steps.cbegin(); step != steps.cend(); ++step) {
                const double max = *std::max_element(step->begin(), step->end());
                std::printf("  %-28s %7.1f %7.1f %7lld %9.1f\n", qPrintable(step.key()),
                    median(*step), max, static_cast<long long>(step->size()),
                    median(perPlan.value(step.key())));
                if (max > longest) {
                    longest = max;
                    longestName = step.key();
                }
            }
            std::printf("  longest single step: %.1f ms (%s)\n", longest, qPrintable(longestName));
        };
        stepwise("steps of the command line (the .xls only, no results)", false, true);

        // Not what the program does: one template opened (and D4 selected) once, then filled
        // and saved again for every plan, to show what loading it once per batch would give.
        // Only valid where every plan writes every cell the previous one wrote and no cell
        // takes on a new format.
        const auto reused = [&] {
            const auto session = office->newInstance();
            const QString templateFile = out.filePath("reused.xlt");
            QFile::remove(templateFile);
            QFile::copy(QStringLiteral(":/CUSTOM/101"), templateFile);
            const int workbook = session->openWorkbook(templateFile);
            session->selectRange(QStringLiteral("D4"));
            QVector<double> fills, saves;
            for (int plan = 0; plan < plans; ++plan) {
                clock.restart();
                const PlanFields fields(household(plan));
                TemplateFill(fields, RunClock::current())
                    .fill(*session, [](int, const std::function<void()>& body) {
                        body();
                        return true;
                    });
                fills << clock.nsecsElapsed() / 1e6;
                clock.restart();
                session->saveAs(workbook, out.filePath(QStringLiteral("r%1.xls").arg(plan)), 56);
                saves << clock.nsecsElapsed() / 1e6;
            }
            std::printf("template loaded once (experiment): fill %.1f ms, save %.1f ms per plan "
                        "(medians)\n",
                median(fills), median(saves));
        };
        reused();
        stepwise("steps, results only", false, false);
        stepwise("steps, every output and the results", true, false);
    }
    removeTemporaryFolders();
    return code;
}
