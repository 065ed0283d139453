#include "comparison.h"

#include "entry/amountformat.h"
#include "entry/fieldcatalogue.h"
#include "entry/fielddescription.h"

#include <QLocale>
#include <algorithm>
#include <cmath>

using FieldCatalogue::Field;
using FieldCatalogue::Group;

namespace {

const QString nameSeparator = QStringLiteral(" — ");

// Every field in the window's tab order.
std::vector<const Field*> fieldsInTabOrder()
{
    std::vector<const Field*> ordered;
    for (const Field& field : FieldCatalogue::fields())
        ordered.push_back(&field);
    std::sort(ordered.begin(), ordered.end(),
        [](const Field* one, const Field* other) { return one->tab < other->tab; });
    return ordered;
}

QString frameTitle(const Field& field)
{
    QString title = FieldCatalogue::frame(FieldCatalogue::rules(field.group).frame).title;
    // The title is written for a label, where "&&" shows as one "&".
    return title.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

bool isDate(Group group)
{
    return group == Group::HusbandDOB || group == Group::WifeDOB;
}

QStringList differencesTo(const QVector<std::optional<double>>& numbers)
{
    QStringList differences;
    for (int plan = 0; plan < numbers.size(); ++plan) {
        if (plan > 0 && numbers.first() && numbers.at(plan))
            differences << Comparison::formatDifference(*numbers.at(plan) - *numbers.first());
        else
            differences << QString();
    }
    return differences;
}

QString tsvCell(const QString& text)
{
    QString cell = text;
    for (QChar& character : cell) {
        if (character == QLatin1Char('\t') || character == QLatin1Char('\n')
            || character == QLatin1Char('\r'))
            character = QLatin1Char(' ');
    }
    return cell;
}

QString csvCell(const QString& cell)
{
    static const QString mustQuote = QStringLiteral(",\"\r\n");
    if (std::none_of(cell.begin(), cell.end(), [](QChar c) { return mustQuote.contains(c); }))
        return cell;
    QString quoted = cell;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// One line per table line, each cell quoted as the format wants it.
QString joinedTable(const QVector<QStringList>& lines, QString (*quoted)(const QString&),
    const QString& separator, const QString& lineEnd)
{
    QString text;
    for (const QStringList& line : lines) {
        QStringList cells;
        for (const QString& cell : line)
            cells << quoted(cell);
        text += cells.join(separator) + lineEnd;
    }
    return text;
}

} // namespace

Comparison::Comparison(const QVector<ComparedPlan>& plans)
{
    for (const ComparedPlan& plan : plans)
        mPlanNames << plan.name;
    addInputRows(plans);
    addSheetRows(plans);
}

void Comparison::addInputRows(const QVector<ComparedPlan>& plans)
{
    for (const Field* field : fieldsInTabOrder()) {
        const QString key = FieldCatalogue::settingsKey(field->group, field->index);
        ComparisonRow row { inputLabel(key), false, {}, {} };
        QVector<std::optional<double>> numbers;
        for (const ComparedPlan& plan : plans) {
            const QString text = plan.inputs.value(key);
            row.values << text;
            numbers << (isDate(field->group) ? std::nullopt : AmountFormat::parse(text));
        }
        if (row.values.count(row.values.value(0)) == row.values.size())
            continue;
        row.differences = differencesTo(numbers);
        mRows << row;
    }
}

void Comparison::addSheetRows(const QVector<ComparedPlan>& plans)
{
    // Every run reads the same cells of the same template; a plan that failed has none.
    qsizetype count = 0;
    for (const ComparedPlan& plan : plans)
        count = std::max(count, plan.result.results.size());
    for (qsizetype index = 0; index < count; ++index) {
        ComparisonRow row;
        row.fromSheet = true;
        QStringList labels;
        QVector<std::optional<double>> numbers;
        for (const ComparedPlan& plan : plans) {
            const SheetResult result = plan.result.results.value(index);
            if (index < plan.result.results.size() && !labels.contains(result.label))
                labels << result.label;
            row.values << result.text;
            numbers << result.number;
        }
        // A label the sheet computes may read differently from plan to plan: each is shown.
        row.label = labels.join(QStringLiteral(" / "));
        row.differences = differencesTo(numbers);
        mRows << row;
    }
}

QVector<QStringList> Comparison::table() const
{
    QStringList header { QStringLiteral("Item") };
    for (int plan = 0; plan < mPlanNames.size(); ++plan) {
        header << mPlanNames.at(plan);
        if (plan > 0)
            header << QStringLiteral("Δ ") + mPlanNames.at(plan);
    }
    QVector<QStringList> lines { header };
    for (const ComparisonRow& row : mRows) {
        QStringList line { row.label };
        for (int plan = 0; plan < mPlanNames.size(); ++plan) {
            line << row.values.value(plan);
            if (plan > 0)
                line << row.differences.value(plan);
        }
        lines << line;
    }
    return lines;
}

QString Comparison::toTsv() const
{
    return joinedTable(table(), tsvCell, QStringLiteral("\t"), QStringLiteral("\n"));
}

QString Comparison::toCsv() const
{
    return joinedTable(table(), csvCell, QStringLiteral(","), QStringLiteral("\r\n"));
}

QString Comparison::formatDifference(double difference)
{
    const QLocale locale;
    const double cents = std::round(difference * 100.0);
    const QString magnitude = locale.toString(std::fabs(cents) / 100.0, 'f', 2);
    if (cents > 0)
        return locale.positiveSign() + magnitude;
    if (cents < 0)
        return locale.negativeSign() + magnitude;
    return magnitude;
}

QString Comparison::inputLabel(const QString& key)
{
    for (const Field& field : FieldCatalogue::fields()) {
        if (FieldCatalogue::settingsKey(field.group, field.index) != key)
            continue;
        const QString title = frameTitle(field);
        QString name = FieldDescription::accessibleName(field);
        // A label shared with another field is already named by its frame.
        if (name.startsWith(title + nameSeparator))
            name = name.mid(title.size() + nameSeparator.size());
        return title + QStringLiteral(": ") + name;
    }
    return key;
}
