#include "plancommandline.h"

#include "comparison.h"
#include "comparisonfiles.h"
#include "planarguments.h"
#include "planconsole.h"
#include "planfile.h"
#include "planjobs.h"
#include "planrunner.h"
#include "planworker.h"
#include "planworkerbatch.h"

#include "app/apperror.h"
#include "app/folders.h"
#include "app/processsettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

using PlanConsole::errors;
using PlanConsole::output;
using PlanConsole::report;

namespace {

int usageError(const QString& reason)
{
    const QString program = QCoreApplication::applicationName().toLower();
    errors() << program << ": " << reason << "\nSee " << program << " --help.\n" << Qt::flush;
    return 2;
}

bool writeComparison(const QVector<ComparedPlan>& plans, const QString& csv)
{
    const Comparison comparison(plans);
    if (csv.isEmpty()) {
        output() << comparison.toTsv() << Qt::flush;
        return true;
    }
    try {
        writeTextFile(csv, comparison.toCsv());
    } catch (const AppError& error) {
        report(QDir::toNativeSeparators(csv), QStringLiteral("writing the comparison"),
            error.description());
        return false;
    }
    errors() << "comparison written to " << QDir::toNativeSeparators(csv) << '\n' << Qt::flush;
    return true;
}

// Every plan of the call on one warm office, one after another.
int runOnOneOffice(const PlanArguments& arguments, const PlanJobList& list, bool readResults)
{
    PlanRunner runner;
    const QString officeFailure = runner.startOffice();
    if (!officeFailure.isEmpty()) {
        report(QCoreApplication::applicationName(), QStringLiteral("starting the office"),
            officeFailure);
        return 1;
    }

    const bool comparing = arguments.mode == PlanArguments::Mode::Compare;
    bool failed = !list.faults.isEmpty();
    QVector<ComparedPlan> compared;
    const qsizetype count = list.jobs.size();
    for (qsizetype index = 0; index < count && runner.stoppedBy() == 0; ++index) {
        const PlanJob& job = list.jobs.at(index);
        PlanConsole::reportStart(job, index, count);
        Plan plan;
        const std::optional<PlanRunResult> result = runner.run(job, readResults, &plan);
        if (!result)
            break;
        if (!PlanConsole::reportEnd(job, *result))
            failed = true;
        else if (comparing)
            compared << ComparedPlan { job.name, plan.inputs, *result };
        else if (readResults)
            PlanConsole::printResults(job, *result, count > 1);
    }
    runner.endOffice();
    if (const int signal = runner.stoppedBy()) {
        PlanConsole::reportStop(signal);
        return 128 + signal;
    }
    if (comparing) {
        if (failed) {
            errors() << "the comparison is not written: not every plan ran\n" << Qt::flush;
            return 1;
        }
        return writeComparison(compared, arguments.csv) ? 0 : 1;
    }
    return failed ? 1 : 0;
}

int runPlans(const PlanArguments& arguments, const PlanJobList& list)
{
    for (const QString& fault : list.faults)
        errors() << fault << '\n' << Qt::flush;
    for (const QString& folder : list.outputFolders) {
        if (!QDir().mkpath(folder)) {
            report(QDir::toNativeSeparators(folder), QStringLiteral("making the output folder"),
                QStringLiteral("the folder cannot be made"));
            return 1;
        }
    }

    const bool comparing = arguments.mode == PlanArguments::Mode::Compare;
    const bool readResults = comparing
        || (arguments.xls.isEmpty() && arguments.pdf.isEmpty() && arguments.png.isEmpty());
    removeAbandonedTemporaryFolders();
    const int offices = comparing ? 1 : officesForBatch(list.jobs.size(), usableProcessors());
    if (offices == 1)
        return runOnOneOffice(arguments, list, readResults);
    PlanWorkerBatch batch(list.jobs, readResults, offices);
    const int status = batch.run();
    return status == 0 && !list.faults.isEmpty() ? 1 : status;
}

} // namespace

std::optional<int> runPlanCommandLine(const QStringList& arguments)
{
    if (arguments.size() == 2 && arguments.at(1) == planWorkerOption) {
        applyProcessSettings();
        return runPlanWorker();
    }
    const PlanArgumentsReading reading = readPlanArguments(arguments);
    if (!reading.usageError.isEmpty())
        return usageError(reading.usageError);
    if (!reading.arguments)
        return std::nullopt;
    const PlanJobList list = planJobs(*reading.arguments);
    if (!list.usageError.isEmpty())
        return usageError(list.usageError);

    applyProcessSettings();
    try {
        return runPlans(*reading.arguments, list);
    } catch (const AppError& error) {
        report(QCoreApplication::applicationName(), QStringLiteral("running the plans"),
            error.description());
        return 1;
    }
}
