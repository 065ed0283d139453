#include "planconsole.h"

#include "planjobs.h"

#include <QTextStream>

namespace PlanConsole {

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

void report(const QString& name, const QString& step, const QString& reason)
{
    errors() << name << ": " << step << ": " << reason << '\n' << Qt::flush;
}

void reportStart(const PlanJob& job, qsizetype index, qsizetype count)
{
    errors() << job.name << ": running (" << index + 1 << " of " << count << ")\n" << Qt::flush;
}

bool reportEnd(const PlanJob& job, const PlanRunResult& result)
{
    if (!result.succeeded) {
        report(job.name, result.failedStep, result.error);
        return false;
    }
    errors() << job.name << ": done\n" << Qt::flush;
    return true;
}

void printResults(const PlanJob& job, const PlanRunResult& result, bool withName)
{
    for (const SheetResult& row : result.results) {
        if (withName)
            output() << job.name << '\t';
        output() << row.label << '\t' << row.text << '\n';
    }
    output() << Qt::flush;
}

void reportStop(int signal)
{
    errors() << "stopped by signal " << signal << '\n' << Qt::flush;
}

} // namespace PlanConsole
