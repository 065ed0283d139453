#include "comparisontable.h"

#include "comparison.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTableWidget>
#include <algorithm>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ComparisonTable", text);
}

bool isDifference(int column)
{
    return column > 0 && column % 2 == 0;
}

} // namespace

int ComparisonTable::planOfColumn(int column)
{
    return (column + 1) / 2;
}

bool ComparisonTable::alignsRight(const QString& value)
{
    bool digits = false;
    for (const QChar character : value) {
        if (character.isLetter())
            return false;
        digits = digits || character.isDigit();
    }
    return digits;
}

bool ComparisonTable::cellAlignsRight(
    const Comparison& comparison, const QVector<ComparedPlan>& plans, int row, int column)
{
    const QVector<ComparisonRow>& rows = comparison.rows();
    if (row < 0 || row >= rows.size())
        return false;
    if (isDifference(column))
        return true;
    const int plan = planOfColumn(column);
    if (!rows.at(row).fromSheet)
        return alignsRight(rows.at(row).values.value(plan));
    // The sheet's results follow the inputs, in the order the runs read them.
    const auto firstSheetRow = std::find_if(
        rows.begin(), rows.end(), [](const ComparisonRow& each) { return each.fromSheet; });
    const int result = row - int(firstSheetRow - rows.begin());
    return plan < plans.size() && plans.at(plan).result.results.value(result).number.has_value();
}

QString ComparisonTable::header(const ComparedPlan& plan)
{
    return plan.result.succeeded ? plan.name : tr("%1 (failed)").arg(plan.name);
}

QString ComparisonTable::failure(const ComparedPlan& plan)
{
    if (plan.result.succeeded)
        return QString();
    return tr("%1: failed while %2: %3").arg(plan.name, plan.result.failedStep, plan.result.error);
}

QVector<QStringList> ComparisonTable::cells(
    const Comparison& comparison, const QVector<ComparedPlan>& plans)
{
    QVector<QStringList> lines = comparison.table();
    if (lines.isEmpty())
        return lines;
    // The first line is the header: the item column, then the plans' columns.
    QStringList& header = lines.first();
    for (int column = 1; column < header.size(); ++column) {
        const int plan = planOfColumn(column - 1);
        if (!isDifference(column - 1) && plan < plans.size())
            header[column] = ComparisonTable::header(plans.at(plan));
    }
    return lines;
}

void ComparisonTable::fill(
    QTableWidget& table, const Comparison& comparison, const QVector<ComparedPlan>& plans)
{
    const QVector<QStringList> lines = cells(comparison, plans);
    table.clear();
    table.setRowCount(std::max(0, int(lines.size()) - 1));
    table.setColumnCount(lines.isEmpty() ? 0 : int(lines.first().size()) - 1);
    for (int column = 0; column < table.columnCount(); ++column) {
        auto* item = new QTableWidgetItem(lines.first().at(column + 1));
        const int plan = planOfColumn(column);
        if (plan < plans.size())
            item->setToolTip(failure(plans.at(plan)));
        table.setHorizontalHeaderItem(column, item);
    }
    const QVector<ComparisonRow>& rows = comparison.rows();
    for (int row = 0; row < table.rowCount(); ++row) {
        const QStringList& line = lines.at(row + 1);
        auto* label = new QTableWidgetItem(line.first());
        // A label too long for its header reads whole in the tip.
        label->setToolTip(line.first() + QLatin1Char('\n')
            + (rows.value(row).fromSheet ? tr("From the computed sheet") : tr("An input")));
        table.setVerticalHeaderItem(row, label);
        for (int column = 0; column < table.columnCount(); ++column) {
            const QString text = line.value(column + 1);
            auto* item = new QTableWidgetItem(text);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            item->setTextAlignment(
                (cellAlignsRight(comparison, plans, row, column) ? Qt::AlignRight : Qt::AlignLeft)
                | Qt::AlignVCenter);
            if (isDifference(column)) {
                QFont italic = table.font();
                italic.setItalic(true);
                item->setFont(italic);
            }
            table.setItem(row, column, item);
        }
    }
    table.resizeColumnsToContents();
    table.resizeRowsToContents();
}
