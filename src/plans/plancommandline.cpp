#include "plancommandline.h"

#include "comparison.h"
#include "comparisonfiles.h"
#include "planarguments.h"
#include "planfile.h"
#include "planjobs.h"

#include "app/apperror.h"
#include "app/folders.h"
#include "app/processsettings.h"
#include "app/signalexit.h"
#include "workbook/spreadsheetoffice.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>
#include <memory>

namespace {

QTextStream& errors()
{
    static QTextStream stream(stderr);
    return stream;
}

QTextStream& output()
{
    static QTextStream stream(stdout);
    return stream;
}

int usageError(const QString& reason)
{
    const QString program = QCoreApplication::applicationName().toLower();
    errors() << program << ": " << reason << "\nSee " << program << " --help.\n" << Qt::flush;
    return 2;
}

void report(const QString& name, const QString& step, const QString& reason)
{
    errors() << name << ": " << step << ": " << reason << '\n' << Qt::flush;
}

// One warm office for every plan of the call. A signal ends the batch between two steps of a
// run, so that the run's files, the office and its profile go as at any end.
class PlanBatch final {
public:
    PlanBatch()
        : mSignalExit({})
    {
    }

    int run(const PlanArguments& arguments, const PlanJobList& list);

private:
    // The run's result; nothing when a signal stopped it.
    std::optional<PlanRunResult> runOne(const PlanJob& job, const Plan& plan, bool readResults);
    bool stopped() const { return mSignalExit.received() != 0; }
    void printResults(const PlanJob& job, const PlanRunResult& result, bool withName);
    bool writeComparison(const QVector<ComparedPlan>& plans, const QString& csv);

    SignalExit mSignalExit;
    std::unique_ptr<SpreadsheetOffice> mOffice;
};

int PlanBatch::run(const PlanArguments& arguments, const PlanJobList& list)
{
    bool failed = !list.faults.isEmpty();
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
    mOffice = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    try {
        mOffice->startAhead();
    } catch (const AppError& error) {
        report(QCoreApplication::applicationName(), QStringLiteral("starting the office"),
            error.description());
        return 1;
    }

    QVector<ComparedPlan> compared;
    const qsizetype count = list.jobs.size();
    for (qsizetype index = 0; index < count && !stopped(); ++index) {
        const PlanJob& job = list.jobs.at(index);
        errors() << job.name << ": running (" << index + 1 << " of " << count << ")\n" << Qt::flush;
        Plan plan;
        try {
            plan = PlanFile::read(job.path);
        } catch (const AppError& error) {
            report(job.name, QStringLiteral("reading the plan"), error.description());
            failed = true;
            continue;
        }
        const std::optional<PlanRunResult> result = runOne(job, plan, readResults);
        if (!result)
            break;
        if (!result->succeeded) {
            report(job.name, result->failedStep, result->error);
            failed = true;
            continue;
        }
        errors() << job.name << ": done\n" << Qt::flush;
        if (comparing)
            compared << ComparedPlan { job.name, plan.inputs, *result };
        else if (readResults)
            printResults(job, *result, count > 1);
    }
    mOffice.reset();
    if (stopped()) {
        errors() << "stopped by signal " << mSignalExit.received() << '\n' << Qt::flush;
        return 128 + mSignalExit.received();
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

std::optional<PlanRunResult> PlanBatch::runOne(
    const PlanJob& job, const Plan& plan, bool readResults)
{
    std::optional<PlanRunResult> result;
    try {
        PlanRun run(*mOffice, plan.inputs, job.outputs, readResults);
        while (run.step()) {
            // The signal's note is read by the event loop.
            QCoreApplication::processEvents();
            if (stopped())
                return std::nullopt;
        }
        result = run.result();
    } catch (const AppError& error) {
        PlanRunResult failure;
        failure.failedStep = QStringLiteral("running the plan");
        failure.error = error.description();
        result = failure;
    }
    // No session of the run is left: an office grown too big may be renewed now.
    mOffice->runEnded();
    return result;
}

void PlanBatch::printResults(const PlanJob& job, const PlanRunResult& result, bool withName)
{
    for (const SheetResult& row : result.results) {
        if (withName)
            output() << job.name << '\t';
        output() << row.label << '\t' << row.text << '\n';
    }
    output() << Qt::flush;
}

bool PlanBatch::writeComparison(const QVector<ComparedPlan>& plans, const QString& csv)
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

} // namespace

std::optional<int> runPlanCommandLine(const QStringList& arguments)
{
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
        PlanBatch batch;
        return batch.run(*reading.arguments, list);
    } catch (const AppError& error) {
        report(QCoreApplication::applicationName(), QStringLiteral("running the plans"),
            error.description());
        return 1;
    }
}
