#pragma once

#include "planjobs.h"

#include <QByteArray>
#include <optional>

// The lines a plan worker and the program that started it exchange over pipes, one JSON object
// each: the program sends jobs; the worker answers once whether its office could be started, then
// once per job with the run's result.
namespace PlanMessages {

struct Job {
    qsizetype index = 0;
    PlanJob job;
    bool readResults = false;
};

struct Answer {
    enum class Kind { Started, Finished };
    Kind kind = Kind::Started;
    QString officeFailure; // Started: why the office could not be started, empty when it could
    qsizetype index = 0; // Finished: the job's
    PlanRunResult result; // Finished: without its result workbook, which the worker removed
};

QByteArray jobLine(const Job& job);
QByteArray startedLine(const QString& officeFailure);
QByteArray finishedLine(qsizetype index, const PlanRunResult& result);

// Nothing for a line that is not such a message.
std::optional<Job> readJob(const QByteArray& line);
std::optional<Answer> readAnswer(const QByteArray& line);

} // namespace PlanMessages
