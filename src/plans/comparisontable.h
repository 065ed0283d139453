#pragma once

#include <QString>
#include <QVector>

class Comparison;
class QTableWidget;
struct ComparedPlan;
struct ComparisonRow;

// How a comparison reads in a table: one column per plan headed by its name, one row per
// compared input or sheet result, the difference to the first plan on a second line of its
// cell. The window and the PDF show the same cells.
namespace ComparisonTable {
// The cell of a row for a plan: its value, then its difference when there is one.
QString cellText(const ComparisonRow& row, int plan);
// Numbers, amounts and dates read best right-aligned; words left.
bool alignsRight(const QString& value);
// A plan whose run failed says so under its name.
QString header(const ComparedPlan& plan);
// "Retire at 70: failed while saving the workbook: <why>"; empty for a plan that ran.
QString failure(const ComparedPlan& plan);
// Replaces the table's contents by the comparison's.
void fill(QTableWidget& table, const Comparison& comparison, const QVector<ComparedPlan>& plans);
} // namespace ComparisonTable
