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

CellWriter::CellWriter(const Reference<frame::XModel>& workbook)
    : mWorkbook(workbook)
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

CellWriter::Format CellWriter::formatOf(const Reference<table::XCell>& cell)
{
    sal_Int32 key = 0;
    Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString("NumberFormat"))
        >>= key;
    return formatOfKey(key);
}

CellWriter::Format CellWriter::formatOfKey(sal_Int32 key)
{
    const auto known = mFormatByKey.find(key);
    if (known != mFormatByKey.end())
        return known->second;
    if (!mFormats.is()) {
        mFormats = Reference<util::XNumberFormatsSupplier>(mWorkbook, UNO_QUERY_THROW)
                       ->getNumberFormats();
        mTypes.set(mFormats, UNO_QUERY_THROW);
    }
    Format format;
    const auto properties = mFormats->getByKey(key);
    sal_Int16 type = 0;
    properties->getPropertyValue(rtl::OUString("Type")) >>= type;
    properties->getPropertyValue(rtl::OUString("Locale")) >>= format.locale;
    format.percent = (type & util::NumberFormat::PERCENT) != 0;
    // Each locale's general format is its standard number format.
    format.general = key == mTypes->getStandardFormat(util::NumberFormat::NUMBER, format.locale);
    mFormatByKey.emplace(key, format);
    return format;
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

// A general cell takes on the look of what was typed into it, as it does when a user types.
void CellWriter::applyLook(
    const Reference<table::XCell>& cell, const Format& format, TypedEntry::Look look)
{
    const sal_Int16 type = lookType(look);
    if (type == 0 || !format.general)
        return;
    Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
        ->setPropertyValue(rtl::OUString("NumberFormat"),
            uno::Any(mTypes->getStandardFormat(type, format.locale)));
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
    const Reference<sheet::XSpreadsheet> target = sheet(sheetNumber);
    officeCall(QStringLiteral("write cells %1 to %2")
                   .arg(cellName(firstRow, column), cellName(lastRow, column)),
        [&] {
            const Reference<table::XCellRange> range
                = Reference<table::XCellRange>(target, UNO_QUERY_THROW)
                      ->getCellRangeByPosition(column - 1, firstRow - 1, column - 1, lastRow - 1);
            const QVector<Format> formats = formatsOf(range, int(values.size()));
            uno::Sequence<uno::Sequence<uno::Any>> data(values.size());
            // Cells of the general format that take on a look, by the look's format type, with
            // the locale of the first one's format.
            std::map<sal_Int16, std::pair<uno::Sequence<table::CellRangeAddress>, lang::Locale>>
                looks;
            for (int index = 0; index < values.size(); ++index) {
                const Format& format = formats.at(index);
                const TypedEntry entry = entryFor(values.at(index), locale, format.percent);
                const uno::Any stored = contentOf(entry);
                data.getArray()[index] = uno::Sequence<uno::Any>(&stored, 1);
                const sal_Int16 type
                    = entry.kind == TypedEntry::Kind::Number ? lookType(entry.look) : 0;
                if (type != 0 && format.general) {
                    auto& [cells, lookLocale] = looks[type];
                    if (!cells.hasElements())
                        lookLocale = format.locale;
                    table::CellRangeAddress address;
                    address.Sheet = static_cast<sal_Int16>(sheetNumber - 1);
                    address.StartColumn = address.EndColumn = column - 1;
                    address.StartRow = address.EndRow = firstRow - 1 + index;
                    cells.realloc(cells.getLength() + 1);
                    cells.getArray()[cells.getLength() - 1] = address;
                }
            }
            Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
            for (const auto& [type, group] : looks) {
                const Reference<sheet::XSheetCellRangeContainer> container(
                    Reference<lang::XMultiServiceFactory>(mWorkbook, UNO_QUERY_THROW)
                        ->createInstance(rtl::OUString("com.sun.star.sheet.SheetCellRanges")),
                    UNO_QUERY_THROW);
                container->addRangeAddresses(group.first, false);
                Reference<beans::XPropertySet>(container, UNO_QUERY_THROW)
                    ->setPropertyValue(rtl::OUString("NumberFormat"),
                        uno::Any(mTypes->getStandardFormat(type, group.second)));
            }
        });
}

void CellWriter::write(
    int sheetNumber, int row, int column, const CellValue& value, const QLocale& locale)
{
    if (row < 1 || column < 1)
        throw AppError(
            QStringLiteral("There is no cell in row %1, column %2.").arg(row).arg(column));
    const Reference<sheet::XSpreadsheet> target = sheet(sheetNumber);
    officeCall(QStringLiteral("write cell %1").arg(cellName(row, column)), [&] {
        // As one cell of writeColumn() is written, so that both store the same.
        const Reference<table::XCellRange> range
            = Reference<table::XCellRange>(target, UNO_QUERY_THROW)
                  ->getCellRangeByPosition(column - 1, row - 1, column - 1, row - 1);
        const Reference<table::XCell> cell = range->getCellByPosition(0, 0);
        const Format format = formatOf(cell);
        const TypedEntry entry = entryFor(value, locale, format.percent);
        const uno::Any stored = contentOf(entry);
        uno::Sequence<uno::Sequence<uno::Any>> data(1);
        data.getArray()[0] = uno::Sequence<uno::Any>(&stored, 1);
        Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
        if (entry.kind == TypedEntry::Kind::Number)
            applyLook(cell, format, entry.look);
    });
}
