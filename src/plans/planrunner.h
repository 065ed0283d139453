#pragma once

#include "planrun.h"

#include "app/signalexit.h"

#include <QString>
#include <memory>
#include <optional>

struct Plan;
struct PlanJob;
class SpreadsheetOffice;

// One warm office that runs the command line's plans one after another. SIGTERM, SIGINT or
// SIGHUP stops it between two steps of a run, so that the run's files, the office and its
// profile go as at any end.
class PlanRunner final {
public:
    PlanRunner();
    ~PlanRunner();
    PlanRunner(const PlanRunner&) = delete;
    PlanRunner& operator=(const PlanRunner&) = delete;

    // Starts the office without waiting for it; the reason when it cannot even be started.
    QString startOffice();
    // Reads the job's plan and runs it; a plan that cannot be read fails at "reading the plan".
    // Nothing when a signal stopped it. plan, when given, receives the plan that was read.
    std::optional<PlanRunResult> run(const PlanJob& job, bool readResults, Plan* plan = nullptr);
    // The signal that stopped the runner; 0 while none came.
    int stoppedBy() const { return mSignalExit.received(); }
    void endOffice();

private:
    SignalExit mSignalExit;
    std::unique_ptr<SpreadsheetOffice> mOffice;
};
