#include "planmessages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace PlanMessages {

namespace {

QByteArray line(const QJsonObject& message)
{
    // Compact JSON holds no line break: a line break inside a text is escaped.
    return QJsonDocument(message).toJson(QJsonDocument::Compact) + '\n';
}

std::optional<QJsonObject> object(const QByteArray& line)
{
    QJsonParseError error {};
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QJsonValue numberOrNull(const std::optional<double>& number)
{
    return number ? QJsonValue(*number) : QJsonValue();
}

} // namespace

QByteArray jobLine(const Job& job)
{
    return line({ { "job", double(job.index) }, { "path", job.job.path }, { "name", job.job.name },
        { "xls", job.job.outputs.xls }, { "pdf", job.job.outputs.pdf },
        { "png", job.job.outputs.png }, { "readResults", job.readResults } });
}

QByteArray startedLine(const QString& officeFailure)
{
    return line({ { "started", true }, { "officeFailure", officeFailure } });
}

QByteArray finishedLine(qsizetype index, const PlanRunResult& result)
{
    QJsonArray results;
    for (const SheetResult& row : result.results)
        results.append(QJsonArray { row.label, row.text, numberOrNull(row.number) });
    return line({ { "finished", double(index) }, { "succeeded", result.succeeded },
        { "failedStep", result.failedStep }, { "error", result.error }, { "results", results } });
}

std::optional<Job> readJob(const QByteArray& text)
{
    const std::optional<QJsonObject> message = object(text);
    if (!message || !message->value("job").isDouble())
        return std::nullopt;
    Job job;
    job.index = qsizetype(message->value("job").toDouble());
    job.job.path = message->value("path").toString();
    job.job.name = message->value("name").toString();
    job.job.outputs = { message->value("xls").toString(), message->value("pdf").toString(),
        message->value("png").toString() };
    job.readResults = message->value("readResults").toBool();
    return job;
}

std::optional<Answer> readAnswer(const QByteArray& text)
{
    const std::optional<QJsonObject> message = object(text);
    if (!message)
        return std::nullopt;
    Answer answer;
    if (message->value("started").toBool()) {
        answer.officeFailure = message->value("officeFailure").toString();
        return answer;
    }
    if (!message->value("finished").isDouble())
        return std::nullopt;
    answer.kind = Answer::Kind::Finished;
    answer.index = qsizetype(message->value("finished").toDouble());
    answer.result.succeeded = message->value("succeeded").toBool();
    answer.result.failedStep = message->value("failedStep").toString();
    answer.result.error = message->value("error").toString();
    for (const QJsonValue& value : message->value("results").toArray()) {
        const QJsonArray row = value.toArray();
        SheetResult result { row.at(0).toString(), row.at(1).toString(), std::nullopt };
        if (row.at(2).isDouble())
            result.number = row.at(2).toDouble();
        answer.result.results << result;
    }
    return answer;
}

} // namespace PlanMessages
