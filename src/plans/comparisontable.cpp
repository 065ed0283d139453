#include "comparisontable.h"

#include "comparison.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QTableWidget>

namespace {

QString tr(const char* text)
{
    return QCoreApplication::translate("ComparisonTable", text);
}

} // namespace

QString ComparisonTable::cellText(const ComparisonRow& row, int plan)
{
    const QString value = row.values.value(plan);
    const QString difference = row.differences.value(plan);
    return difference.isEmpty() ? value : value + QLatin1Char('\n') + difference;
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

QString ComparisonTable::header(const ComparedPlan& plan)
{
    return plan.result.succeeded ? plan.name : tr("%1\n(failed)").arg(plan.name);
}

QString ComparisonTable::failure(const ComparedPlan& plan)
{
    if (plan.result.succeeded)
        return QString();
    return tr("%1: failed while %2: %3").arg(plan.name, plan.result.failedStep, plan.result.error);
}

void ComparisonTable::fill(
    QTableWidget& table, const Comparison& comparison, const QVector<ComparedPlan>& plans)
{
    const QVector<ComparisonRow>& rows = comparison.rows();
    table.clear();
    table.setColumnCount(plans.size());
    table.setRowCount(rows.size());
    for (int column = 0; column < plans.size(); ++column) {
        auto* item = new QTableWidgetItem(header(plans.at(column)));
        item->setToolTip(failure(plans.at(column)));
        table.setHorizontalHeaderItem(column, item);
    }
    for (int index = 0; index < rows.size(); ++index) {
        const ComparisonRow& row = rows.at(index);
        auto* label = new QTableWidgetItem(row.label);
        label->setToolTip(row.fromSheet ? tr("From the computed sheet") : tr("An input"));
        table.setVerticalHeaderItem(index, label);
        for (int column = 0; column < plans.size(); ++column) {
            auto* item = new QTableWidgetItem(cellText(row, column));
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
            const Qt::Alignment side
                = alignsRight(row.values.value(column)) ? Qt::AlignRight : Qt::AlignLeft;
            item->setTextAlignment(side | Qt::AlignVCenter);
            table.setItem(index, column, item);
        }
    }
    table.resizeColumnsToContents();
    table.resizeRowsToContents();
}
