#pragma once

#include "spreadsheetapplication.h"

#include <QVector>
#include <functional>
#include <optional>

class RunClock;
class TemplateFields;
struct CellMapRow;

// Fills the open template's first worksheet with the figures of the fields, one cell map row at
// a time. Each cell's work is a numbered step: the caller runs it and reports a failure with the
// step's line (the generation run through its error trap), then the fill goes on.
class TemplateFill final {
public:
    // Runs the body as the step with that line; true when it finished without an error.
    using StepRunner = std::function<bool(int line, const std::function<void()>& body)>;

    TemplateFill(const TemplateFields& fields, RunClock& clock);

    // How many cell map rows there are to fill.
    static int rowCount();
    // Writes one cell map row into the active workbook of the application.
    void fillRow(SpreadsheetApplication& app, int mapRow, const StepRunner& step) const;
    // Every row, in order.
    void fill(SpreadsheetApplication& app, const StepRunner& step) const;

private:
    // What the map row puts in the cell of that array element; nothing for a placeholder.
    std::optional<CellValue> cellValue(const CellMapRow& row, int index) const;
    // Writes and empties the block of cells from firstRow down.
    void writeBlock(SpreadsheetApplication& app, const StepRunner& step, const CellMapRow& row,
        int firstRow, QVector<CellValue>& values) const;

    const TemplateFields& mFields;
    RunClock& mClock;
};
