#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

class SpreadsheetApplication;

// One result of a computed estimate, as the sheet shows it.
struct SheetResult {
    QString label; // the sheet's own label text (two label cells joined by a space)
    QString text; // the value as the sheet formats it
    std::optional<double> number; // the cell's number, when it holds one
};

// The results a comparison shows, in this order: total income, total expenses, savings today,
// projected savings at retirement, shortfall at retirement, required annual retirement savings,
// and the four conclusions with the sheet's own labels.
namespace SheetResults {

struct Row {
    QStringList labelCells;
    QString valueCell;
}; // "K41","K42" -> "M42"

const QVector<Row>& rows();

// Reads one row from the first sheet of an open workbook. Throws AppError.
SheetResult read(SpreadsheetApplication& app, int workbook, const Row& row);

// "M42" -> row 42, column 13, counted from 1; nothing for a text that is no cell address.
struct CellPosition {
    int row;
    int column;
};
std::optional<CellPosition> cellPosition(const QString& address);

} // namespace SheetResults
