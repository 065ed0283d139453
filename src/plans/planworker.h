#pragma once

#include <QString>

// A large batch of plans runs on two offices at once: the program starts itself twice with this
// internal option, and each of these workers runs the plans it is sent on an office of its own.
inline const QString planWorkerOption = QStringLiteral("--plan-worker");

// The worker: reads jobs from standard input and answers on standard output (PlanMessages) until
// its input ends or a signal stops it. Returns 0, or 128 + the signal; 1 when its office cannot
// be started.
int runPlanWorker();
