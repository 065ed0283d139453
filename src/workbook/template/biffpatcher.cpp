#include "biffpatcher.h"

#include "app/apperror.h"
#include "biffrecords.h"

#include <algorithm>

namespace BiffPatcher {

namespace {

using Biff::Record;

void moveIfAfter(QByteArray& stream, int fieldOffset, int position, int shift)
{
    const quint32 value = Biff::readU32(stream, fieldOffset);
    if (value >= quint32(position))
        Biff::writeU32(stream, fieldOffset, value + quint32(shift));
}

// The fields of one record (already at its new place in the stream) that hold absolute positions.
void movePositions(QByteArray& stream, const Record& moved, int position, int shift)
{
    const int data = moved.dataOffset();
    switch (moved.type) {
    case Biff::BoundSheet:
        if (moved.length >= 4)
            moveIfAfter(stream, data, position, shift);
        break;
    case Biff::ExtSst:
        // A bucket count, then per bucket the bucket's absolute position and a relative offset.
        for (int entry = data + 2; entry + 8 <= moved.end(); entry += 8)
            moveIfAfter(stream, entry, position, shift);
        break;
    case Biff::Index:
        // ibXF is zero when the sheet has no DEFCOLWIDTH; the DBCELL positions follow it.
        if (moved.length >= 16 && Biff::readU32(stream, data + 12) != 0)
            moveIfAfter(stream, data + 12, position, shift);
        for (int entry = data + 16; entry + 4 <= moved.end(); entry += 4)
            moveIfAfter(stream, entry, position, shift);
        break;
    default:
        break;
    }
}

void refuseEncrypted(const QVector<Record>& records)
{
    const int globalsEnd = Biff::substreamEnd(records, 0);
    for (int index = 0; index <= globalsEnd; ++index) {
        if (records.at(index).type == Biff::FilePass)
            throw AppError(QStringLiteral("The workbook is encrypted and cannot be changed."));
    }
}

QVector<Record> workbookRecords(const QByteArray& stream)
{
    const QVector<Record> records = Biff::readRecords(stream);
    if (records.isEmpty() || records.first().type != Biff::Bof)
        throw AppError(QStringLiteral("The workbook stream does not begin with a BOF record."));
    refuseEncrypted(records);
    return records;
}

// Index of the first record of the type in the sheet's own substream (not in an embedded chart's),
// or -1. Throws AppError when the workbook has no such sheet.
int sheetRecord(
    const QVector<Record>& records, const QByteArray& stream, int sheetIndex, quint16 type)
{
    const int globalsEnd = Biff::substreamEnd(records, 0);
    int sheetOffset = -1;
    int seen = 0;
    for (int index = 0; index <= globalsEnd && sheetOffset < 0; ++index) {
        const Record& each = records.at(index);
        if (each.type == Biff::BoundSheet && each.length >= 4 && seen++ == sheetIndex)
            sheetOffset = int(Biff::readU32(stream, each.dataOffset()));
    }
    if (sheetOffset < 0)
        throw AppError(QStringLiteral("The workbook has no sheet %1.").arg(sheetIndex + 1));
    const int bof = Biff::recordAt(records, sheetOffset);
    if (bof < 0 || records.at(bof).type != Biff::Bof)
        throw AppError(
            QStringLiteral("Sheet %1 does not begin with a BOF record.").arg(sheetIndex + 1));
    const int end = Biff::substreamEnd(records, bof);
    for (int index = bof + 1; index < end; ++index) {
        if (records.at(index).type == Biff::Bof)
            index = Biff::substreamEnd(records, index);
        else if (records.at(index).type == type)
            return index;
    }
    return -1;
}

// Where a SELECTION record keeps its fields: the pane, the active cell, the active range, the
// range count, then six bytes per range.
namespace SelectionField {
constexpr int activeRow = 1;
constexpr int activeColumn = 3;
constexpr int activeRange = 5;
constexpr int rangeCount = 7;
constexpr int firstRow = 9;
constexpr int lastRow = 11;
constexpr int firstColumn = 13;
constexpr int lastColumn = 14;
constexpr int oneRangeLength = 15;
} // namespace SelectionField

// Index of the sheet's SELECTION record when it holds exactly one range, or -1.
int oneRangeSelection(const QVector<Record>& records, const QByteArray& stream, int sheetIndex)
{
    const int selection = sheetRecord(records, stream, sheetIndex, Biff::Selection);
    if (selection < 0 || records.at(selection).length != SelectionField::oneRangeLength
        || Biff::readU16(stream, records.at(selection).dataOffset() + SelectionField::rangeCount)
            != 1)
        return -1;
    return selection;
}

} // namespace

QByteArray insertRecord(const QByteArray& stream, int position, const QByteArray& record)
{
    const QVector<Record> records = Biff::readRecords(stream);
    const bool atBoundary = std::any_of(records.begin(), records.end(),
                                [position](const Record& each) { return each.offset == position; })
        || (!records.isEmpty() && records.last().end() == position);
    if (!atBoundary)
        throw AppError(
            QStringLiteral("Position %1 is not the start of a workbook record.").arg(position));

    QByteArray patched = stream.left(position) + record + stream.mid(position);
    const int shift = record.size();
    for (Record moved : records) {
        if (moved.offset >= position)
            moved.offset += shift;
        movePositions(patched, moved, position, shift);
    }
    return patched;
}

QByteArray markAsTemplate(const QByteArray& stream)
{
    const QVector<Record> records = workbookRecords(stream);
    const int globalsEnd = Biff::substreamEnd(records, 0);
    for (int index = 0; index <= globalsEnd; ++index) {
        if (records.at(index).type == Biff::Template)
            return stream;
    }
    int after = 0;
    if (records.size() > 1 && records.at(1).type == Biff::WriteProt)
        after = 1;
    return insertRecord(stream, records.at(after).end(), Biff::record(Biff::Template, {}));
}

QByteArray setSheetZoom(
    const QByteArray& stream, int sheetIndex, quint16 numerator, quint16 denominator)
{
    if (numerator == 0 || denominator == 0)
        throw AppError(
            QStringLiteral("A sheet zoom of %1/%2 is not valid.").arg(numerator).arg(denominator));
    const QVector<Record> records = workbookRecords(stream);
    const int window2 = sheetRecord(records, stream, sheetIndex, Biff::Window2);
    if (window2 < 0)
        throw AppError(QStringLiteral("Sheet %1 has no WINDOW2 record.").arg(sheetIndex + 1));
    const int scl = sheetRecord(records, stream, sheetIndex, Biff::Scl);

    QByteArray zoom(4, '\0');
    Biff::writeU16(zoom, 0, numerator);
    Biff::writeU16(zoom, 2, denominator);
    QByteArray patched = stream;
    // WINDOW2 keeps its own copy of the normal view's zoom in percent, used by some readers.
    const Record& window = records.at(window2);
    if (window.length >= 14) {
        const int percent = int((numerator * 100 + denominator / 2) / denominator);
        Biff::writeU16(patched, window.dataOffset() + 12, quint16(qBound(10, percent, 400)));
    }
    if (scl >= 0 && records.at(scl).length == 4) {
        patched.replace(records.at(scl).dataOffset(), zoom.size(), zoom);
        return patched;
    }
    return insertRecord(patched, window.end(), Biff::record(Biff::Scl, zoom));
}

QByteArray setSheetCursor(const QByteArray& stream, int sheetIndex, int row, int column)
{
    if (row < 0 || row > 0xFFFF || column < 0 || column > 0xFF)
        throw AppError(QStringLiteral("Row %1, column %2 is not a cell of a 97-2003 sheet.")
                           .arg(row + 1)
                           .arg(column + 1));
    const QVector<Record> records = workbookRecords(stream);
    const int selection = oneRangeSelection(records, stream, sheetIndex);
    if (selection < 0)
        throw AppError(
            QStringLiteral("Sheet %1 has no single selection to move.").arg(sheetIndex + 1));
    QByteArray patched = stream;
    const int data = records.at(selection).dataOffset();
    Biff::writeU16(patched, data + SelectionField::activeRow, quint16(row));
    Biff::writeU16(patched, data + SelectionField::activeColumn, quint16(column));
    Biff::writeU16(patched, data + SelectionField::activeRange, 0);
    Biff::writeU16(patched, data + SelectionField::firstRow, quint16(row));
    Biff::writeU16(patched, data + SelectionField::lastRow, quint16(row));
    patched[data + SelectionField::firstColumn] = char(column);
    patched[data + SelectionField::lastColumn] = char(column);
    return patched;
}

std::optional<Cursor> openingCursor(const QByteArray& stream)
{
    try {
        const QVector<Record> records = workbookRecords(stream);
        const int globalsEnd = Biff::substreamEnd(records, 0);
        int active = -1;
        for (int index = 0; index <= globalsEnd; ++index) {
            if (records.at(index).type == Biff::Window1 && records.at(index).length >= 12) {
                active = Biff::readU16(stream, records.at(index).dataOffset() + 10);
                break;
            }
        }
        if (active != 0 || sheetRecord(records, stream, 0, Biff::Pane) >= 0)
            return std::nullopt;
        const int selection = oneRangeSelection(records, stream, 0);
        if (selection < 0)
            return std::nullopt;
        const int data = records.at(selection).dataOffset();
        const int row = Biff::readU16(stream, data + SelectionField::activeRow);
        const int column = Biff::readU16(stream, data + SelectionField::activeColumn);
        const bool oneCell = Biff::readU16(stream, data + SelectionField::firstRow) == row
            && Biff::readU16(stream, data + SelectionField::lastRow) == row
            && quint8(stream.at(data + SelectionField::firstColumn)) == column
            && quint8(stream.at(data + SelectionField::lastColumn)) == column;
        if (!oneCell)
            return std::nullopt;
        return Cursor { row, column };
    } catch (const AppError&) {
        return std::nullopt;
    }
}

QByteArray setHeaderFooterMargins(
    const QByteArray& stream, int sheetIndex, double headerInches, double footerInches)
{
    const QVector<Record> records = workbookRecords(stream);
    const int setup = sheetRecord(records, stream, sheetIndex, Biff::Setup);
    if (setup < 0 || records.at(setup).length < 32)
        throw AppError(QStringLiteral("Sheet %1 has no page set-up.").arg(sheetIndex + 1));
    QByteArray patched = stream;
    const int data = records.at(setup).dataOffset();
    Biff::writeF64(patched, data + 16, headerInches);
    Biff::writeF64(patched, data + 24, footerInches);
    return patched;
}

} // namespace BiffPatcher
