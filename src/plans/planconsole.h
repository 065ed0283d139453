#pragma once

#include <QString>

class QTextStream;
struct PlanJob;
struct PlanRunResult;

// What the plan command line says: progress and errors on standard error, the sheet's results on
// standard output. Whether the plans run on one office or on two, the lines read the same.
namespace PlanConsole {

QTextStream& errors();
QTextStream& output();

// "<name>: <step>: <reason>"
void report(const QString& name, const QString& step, const QString& reason);
// "<name>: running (<index + 1> of <count>)"
void reportStart(const PlanJob& job, qsizetype index, qsizetype count);
// "<name>: done", or the step that failed and why. True when the plan succeeded.
bool reportEnd(const PlanJob& job, const PlanRunResult& result);
// The sheet's results, "label<TAB>value" per line, led by the plan's name and a tab when asked.
void printResults(const PlanJob& job, const PlanRunResult& result, bool withName);
void reportStop(int signal);

} // namespace PlanConsole
