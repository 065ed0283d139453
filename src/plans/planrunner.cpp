#include "planrunner.h"

#include "planfile.h"
#include "planjobs.h"

#include "app/apperror.h"
#include "workbook/spreadsheetoffice.h"

#include <QCoreApplication>

PlanRunner::PlanRunner()
    : mSignalExit({})
{
}

PlanRunner::~PlanRunner() = default;

QString PlanRunner::startOffice()
{
    mOffice = createSpreadsheetOffice(QStringLiteral(":/CUSTOM/101"));
    try {
        mOffice->startAhead();
    } catch (const AppError& error) {
        return error.description();
    }
    return QString();
}

std::optional<PlanRunResult> PlanRunner::run(const PlanJob& job, bool readResults, Plan* plan)
{
    Plan read;
    try {
        read = PlanFile::read(job.path);
    } catch (const AppError& error) {
        PlanRunResult failure;
        failure.failedStep = QStringLiteral("reading the plan");
        failure.error = error.description();
        return failure;
    }
    std::optional<PlanRunResult> result;
    try {
        PlanRun run(*mOffice, read.inputs, job.outputs, readResults);
        while (run.step()) {
            // The signal's note is read by the event loop.
            QCoreApplication::processEvents();
            if (stoppedBy() != 0)
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
    if (plan)
        *plan = std::move(read);
    return result;
}

void PlanRunner::endOffice()
{
    mOffice.reset();
}
