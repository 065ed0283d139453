#include "cellwriter.h"

#include "app/apperror.h"
#include "typedentry.h"
#include "unoconvert.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/NumberFormat.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <cmath>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

QString cellName(int row, int column)
{
    QString letters;
    for (int rest = column; rest > 0; rest = (rest - 1) / 26)
        letters.prepend(QChar(u'A' + (rest - 1) % 26));
    return letters + QString::number(row);
}

// The number format type a general cell takes on for the look; 0 for none.
sal_Int16 lookType(TypedEntry::Look look)
{
    switch (look) {
    case TypedEntry::Look::Currency:
        return util::NumberFormat::CURRENCY;
    case TypedEntry::Look::Percent:
        return util::NumberFormat::PERCENT;
    case TypedEntry::Look::Date:
        return util::NumberFormat::DATE;
    case TypedEntry::Look::General:
        break;
    }
    return 0;
}

// What writing the value stores: a date as its day number, a text as typing it would, nothing for
// no value or a picker without a date (formulas read the empty cell as day 0).
TypedEntry entryFor(const CellValue& value, const QLocale& locale, bool percentCell)
{
    if (const QDate* date = std::get_if<QDate>(&value)) {
        TypedEntry entry;
        if (date->isValid()) {
            entry.kind = TypedEntry::Kind::Number;
            entry.number = dateSerial(*date);
            entry.look = TypedEntry::Look::Date;
        }
        return entry;
    }
    if (const QString* typed = std::get_if<QString>(&value))
        return parseTypedEntry(*typed, locale, percentCell);
    return TypedEntry();
}

// Whether the cell's format changes what the entry stores or looks like: a plain number of 1 or
// more in a percent cell, a look in a general one.
bool needsFormat(const TypedEntry& entry)
{
    return entry.kind == TypedEntry::Kind::Number
        && (entry.look != TypedEntry::Look::General || std::fabs(entry.number) >= 1.0);
}

// What a cell is given for the entry: a number, a text, or an empty text, which empties the
// cell (nothing at all would make it an error).
uno::Any contentOf(const TypedEntry& entry)
{
    switch (entry.kind) {
    case TypedEntry::Kind::Number:
        return uno::Any(entry.number);
    case TypedEntry::Kind::Text:
        return uno::Any(toOUString(entry.text));
    case TypedEntry::Kind::Empty:
        break;
    }
    return uno::Any(rtl::OUString {});
}

} // namespace

CellWriter::CellWriter(
    const Reference<frame::XModel>& workbook, std::shared_ptr<LoadedFormats> loaded)
    : mWorkbook(workbook)
    , mLoaded(std::move(loaded))
{
}

Reference<sheet::XSpreadsheet> CellWriter::sheet(int number)
{
    const auto known = mSheetByNumber.find(number);
    if (known != mSheetByNumber.end())
        return known->second;
    return officeCall(QStringLiteral("find worksheet %1").arg(number), [&] {
        if (!mSheets.is())
            mSheets.set(
                Reference<sheet::XSpreadsheetDocument>(mWorkbook, UNO_QUERY_THROW)->getSheets(),
                UNO_QUERY_THROW);
        if (number < 1 || number > mSheets->getCount())
            throw AppError(QStringLiteral("The workbook has no worksheet %1.").arg(number));
        const Reference<sheet::XSpreadsheet> found(
            mSheets->getByIndex(number - 1), UNO_QUERY_THROW);
        mSheetByNumber.emplace(number, found);
        return found;
    });
}

void CellWriter::connectFormats()
{
    if (mFormats.is())
        return;
    mFormats
        = Reference<util::XNumberFormatsSupplier>(mWorkbook, UNO_QUERY_THROW)->getNumberFormats();
    mTypes.set(mFormats, UNO_QUERY_THROW);
}

CellWriter::Format CellWriter::formatOfKey(sal_Int32 key)
{
    const auto known = mFormatByKey.find(key);
    if (known != mFormatByKey.end())
        return known->second;
    connectFormats();
    Format format;
    const auto properties = mFormats->getByKey(key);
    sal_Int16 type = 0;
    properties->getPropertyValue(rtl::OUString("Type")) >>= type;
    properties->getPropertyValue(rtl::OUString("Locale")) >>= format.locale;
    format.percent = (type & util::NumberFormat::PERCENT) != 0;
    // Each locale's general format is its standard number format.
    format.general = key == standardFormat(util::NumberFormat::NUMBER, format.locale);
    mFormatByKey.emplace(key, format);
    return format;
}

sal_Int32 CellWriter::standardFormat(sal_Int16 type, const lang::Locale& locale)
{
    const auto key = std::make_tuple(type, locale.Language, locale.Country, locale.Variant);
    const auto known = mStandardFormats.find(key);
    if (known != mStandardFormats.end())
        return known->second;
    connectFormats();
    const sal_Int32 standard = mTypes->getStandardFormat(type, locale);
    mStandardFormats.emplace(key, standard);
    return standard;
}

QVector<CellWriter::Format> CellWriter::formatsOf(
    const Reference<table::XCellRange>& range, int rows)
{
    // A range answers with its cells' format when they all share one, and with the pool's
    // default (0) when they differ; blocks of input cells mostly share one.
    sal_Int32 shared = 0;
    Reference<beans::XPropertySet>(range, UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString("NumberFormat"))
        >>= shared;
    if (shared != 0)
        return QVector<Format>(rows, formatOfKey(shared));
    // Otherwise a handful of calls for the groups of equally formatted cells, not one per cell.
    const Reference<container::XIndexAccess> groups
        = Reference<sheet::XUniqueCellFormatRangesSupplier>(range, UNO_QUERY_THROW)
              ->getUniqueCellFormatRanges();
    const sal_Int32 top = Reference<sheet::XCellRangeAddressable>(range, UNO_QUERY_THROW)
                              ->getRangeAddress()
                              .StartRow;
    QVector<Format> formats(rows);
    for (sal_Int32 index = 0, count = groups->getCount(); index < count; ++index) {
        const Reference<sheet::XSheetCellRanges> group(groups->getByIndex(index), UNO_QUERY_THROW);
        sal_Int32 key = 0;
        Reference<beans::XPropertySet>(group, UNO_QUERY_THROW)
            ->getPropertyValue(rtl::OUString("NumberFormat"))
            >>= key;
        const Format format = formatOfKey(key);
        for (const table::CellRangeAddress& block : group->getRangeAddresses())
            for (sal_Int32 row = block.StartRow; row <= block.EndRow; ++row)
                if (row - top >= 0 && row - top < rows)
                    formats[row - top] = format;
    }
    return formats;
}

QVector<CellWriter::Format> CellWriter::formatsFor(const Reference<table::XCellRange>& range,
    int sheetNumber, int firstRow, int column, const QVector<bool>& needed)
{
    QVector<Format> formats(needed.size());
    bool missing = false;
    for (int index = 0; index < needed.size() && !missing; ++index) {
        if (!needed.at(index))
            continue;
        const Cell cell { sheetNumber, firstRow + index, column };
        std::optional<Format> loaded;
        if (mLoaded && mChanged.count(cell) == 0)
            loaded = mLoaded->find(sheetNumber, firstRow + index, column);
        if (loaded)
            formats[index] = *loaded;
        else
            missing = true;
    }
    if (!missing)
        return formats;
    formats = formatsOf(range, int(needed.size()));
    for (int index = 0; mLoaded && index < formats.size(); ++index)
        if (mChanged.count({ sheetNumber, firstRow + index, column }) == 0)
            mLoaded->remember(sheetNumber, firstRow + index, column, formats.at(index));
    return formats;
}

void CellWriter::setFormat(const Reference<table::XCellRange>& range, int sheetNumber, int firstRow,
    int column, const QVector<int>& rows, sal_Int32 key)
{
    const int first = rows.first();
    const int last = rows.last();
    Reference<beans::XPropertySet> cells;
    if (last - first + 1 == rows.size()) {
        // Neighbouring cells as one range: fewer calls than a collection of ranges.
        cells.set(range->getCellRangeByPosition(0, first, 0, last), UNO_QUERY_THROW);
    } else {
        if (!mFactory.is())
            mFactory.set(mWorkbook, UNO_QUERY_THROW);
        const Reference<sheet::XSheetCellRangeContainer> container(
            mFactory->createInstance(rtl::OUString("com.sun.star.sheet.SheetCellRanges")),
            UNO_QUERY_THROW);
        uno::Sequence<table::CellRangeAddress> addresses(rows.size());
        for (int index = 0; index < rows.size(); ++index) {
            table::CellRangeAddress& address = addresses.getArray()[index];
            address.Sheet = static_cast<sal_Int16>(sheetNumber - 1);
            address.StartColumn = address.EndColumn = column - 1;
            address.StartRow = address.EndRow = firstRow - 1 + rows.at(index);
        }
        container->addRangeAddresses(addresses, false);
        cells.set(container, UNO_QUERY_THROW);
    }
    // Counted as changed before the call: a call that fails may have changed them all the same.
    for (const int row : rows)
        mChanged.insert({ sheetNumber, firstRow + row, column });
    cells->setPropertyValue(rtl::OUString("NumberFormat"), uno::Any(key));
}

void CellWriter::writeBlock(const QString& action, int sheetNumber, int firstRow, int column,
    const QVector<CellValue>& values, const QLocale& locale)
{
    const Reference<sheet::XSpreadsheet> target = sheet(sheetNumber);
    officeCall(action, [&] {
        const int lastRow = firstRow + int(values.size()) - 1;
        const Reference<table::XCellRange> range
            = target->getCellRangeByPosition(column - 1, firstRow - 1, column - 1, lastRow - 1);
        // Most entries read the same in any cell; the formats are asked for only when one
        // does not.
        QVector<TypedEntry> entries;
        QVector<bool> needed;
        bool anyNeeded = false;
        for (const CellValue& value : values) {
            entries << entryFor(value, locale, false);
            needed << needsFormat(entries.last());
            anyNeeded = anyNeeded || needed.last();
        }
        QVector<Format> formats(values.size());
        if (anyNeeded)
            formats = formatsFor(range, sheetNumber, firstRow, column, needed);
        uno::Sequence<uno::Sequence<uno::Any>> data(values.size());
        // Cells of the general format that take on a look, by the look's format type, with
        // the locale of the first one's format.
        std::map<sal_Int16, std::pair<QVector<int>, lang::Locale>> looks;
        for (int index = 0; index < values.size(); ++index) {
            const Format& format = formats.at(index);
            if (needed.at(index) && format.percent)
                entries[index] = entryFor(values.at(index), locale, true);
            const TypedEntry& entry = entries.at(index);
            const uno::Any stored = contentOf(entry);
            data.getArray()[index] = uno::Sequence<uno::Any>(&stored, 1);
            const sal_Int16 type
                = entry.kind == TypedEntry::Kind::Number ? lookType(entry.look) : 0;
            if (type != 0 && format.general) {
                auto& [rows, lookLocale] = looks[type];
                if (rows.isEmpty())
                    lookLocale = format.locale;
                rows << index;
            }
        }
        Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
        for (const auto& [type, group] : looks)
            setFormat(range, sheetNumber, firstRow, column, group.first,
                standardFormat(type, group.second));
    });
}

void CellWriter::writeColumn(int sheetNumber, int firstRow, int column,
    const QVector<CellValue>& values, const QLocale& locale)
{
    if (values.isEmpty())
        return;
    const int lastRow = firstRow + int(values.size()) - 1;
    if (firstRow < 1 || column < 1)
        throw AppError(
            QStringLiteral("There is no cell in row %1, column %2.").arg(firstRow).arg(column));
    writeBlock(QStringLiteral("write cells %1 to %2")
                   .arg(cellName(firstRow, column), cellName(lastRow, column)),
        sheetNumber, firstRow, column, values, locale);
}

void CellWriter::write(
    int sheetNumber, int row, int column, const CellValue& value, const QLocale& locale)
{
    if (row < 1 || column < 1)
        throw AppError(
            QStringLiteral("There is no cell in row %1, column %2.").arg(row).arg(column));
    // As one cell of writeColumn() is written, so that both store the same.
    writeBlock(QStringLiteral("write cell %1").arg(cellName(row, column)), sheetNumber, row, column,
        { value }, locale);
}
