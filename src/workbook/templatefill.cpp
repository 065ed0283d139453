#include "templatefill.h"

#include "cellmap.h"
#include "runclock.h"
#include "templatefields.h"

namespace {

constexpr int firstSheet = 1;

} // namespace

TemplateFill::TemplateFill(const TemplateFields& fields, RunClock& clock)
    : mFields(fields)
    , mClock(clock)
{
}

int TemplateFill::rowCount()
{
    return int(CellMap::rows().size());
}

void TemplateFill::fill(SpreadsheetApplication& app, const StepRunner& step) const
{
    for (int mapRow = 0; mapRow < rowCount(); ++mapRow)
        fillRow(app, mapRow, step);
}

void TemplateFill::fillRow(SpreadsheetApplication& app, int mapRow, const StepRunner& step) const
{
    const CellMapRow& row = CellMap::rows().at(mapRow);
    // The rows of one map row go to the office a run of neighbouring cells at a time; a
    // placeholder row, which is never touched, ends a run.
    int blockStart = row.firstRow;
    QVector<CellValue> block;
    for (int offset = 0; offset < row.count; ++offset) {
        std::optional<CellValue> value;
        step(row.line, [&] { value = cellValue(row, row.firstIndex + offset); });
        if (!value) {
            writeBlock(app, step, row, blockStart, block);
            continue;
        }
        if (block.isEmpty())
            blockStart = row.firstRow + offset;
        block << *value;
    }
    writeBlock(app, step, row, blockStart, block);
}

std::optional<CellValue> TemplateFill::cellValue(const CellMapRow& row, int index) const
{
    switch (row.source) {
    case CellMapRow::Source::Field: {
        const QString text = mFields.fieldText(row.name, index);
        if (row.skipPlaceholders && CellMap::isPlaceholder(text))
            return std::nullopt;
        return CellValue(text);
    }
    case CellMapRow::Source::Today:
        return CellValue(mClock.today());
    case CellMapRow::Source::Picker:
        if (const std::optional<QDate> date = mFields.pickerValue(row.name))
            return CellValue(*date);
        break;
    }
    return CellValue();
}

void TemplateFill::writeBlock(SpreadsheetApplication& app, const StepRunner& step,
    const CellMapRow& row, int firstRow, QVector<CellValue>& values) const
{
    if (values.isEmpty())
        return;
    bool written = false;
    try {
        app.setColumnCells(firstSheet, firstRow, row.column, values);
        written = true;
    } catch (...) {
        // Cell by cell below, so that each cell that fails is reported on its own.
    }
    for (int index = 0; !written && index < values.size(); ++index)
        step(row.line,
            [&] { app.setCell(firstSheet, firstRow + index, row.column, values.at(index)); });
    values.clear();
}
