#pragma once

#include <QString>
#include <QVector>

class Comparison;
class QTableWidget;
struct ComparedPlan;

// How a comparison reads in a table, in the same columns as its copies: the first plan, then
// each further plan followed by its difference to the first ("Δ name"); one row per compared
// input or sheet result, its label as the row's header. The window and the PDF show the same
// cells.
namespace ComparisonTable {
// The plan a column belongs to (its value or its difference).
int planOfColumn(int column);
// Numbers, amounts and dates read best right-aligned; words left.
bool alignsRight(const QString& value);
// Whether the body cell (row, column) of the table is right-aligned: the sheet's values when
// the sheet holds a number there (also where it shows a zero as "-"), the differences, and
// inputs that alignsRight.
bool cellAlignsRight(
    const Comparison& comparison, const QVector<ComparedPlan>& plans, int row, int column);
// A plan whose run failed says so beside its name.
QString header(const ComparedPlan& plan);
// "Retire at 70: failed while saving the workbook: <why>"; empty for a plan that ran.
QString failure(const ComparedPlan& plan);
// The comparison's header and rows with each plan's name replaced by header(plan).
QVector<QStringList> cells(const Comparison& comparison, const QVector<ComparedPlan>& plans);
// Replaces the table's contents by the comparison's.
void fill(QTableWidget& table, const Comparison& comparison, const QVector<ComparedPlan>& plans);
} // namespace ComparisonTable
