#include "cellwriter.h"

#include "app/apperror.h"
#include "typedentry.h"
#include "unoconvert.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XTextRange.hpp>
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

void clearCell(const Reference<table::XCell>& cell)
{
    cell->setFormula(rtl::OUString());
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

// A general cell takes on the look of what was typed into it, as it does when a user types.
void CellWriter::applyLook(
    const Reference<table::XCell>& cell, const Format& format, TypedEntry::Look look)
{
    sal_Int16 type = 0;
    switch (look) {
    case TypedEntry::Look::Currency:
        type = util::NumberFormat::CURRENCY;
        break;
    case TypedEntry::Look::Percent:
        type = util::NumberFormat::PERCENT;
        break;
    case TypedEntry::Look::Date:
        type = util::NumberFormat::DATE;
        break;
    case TypedEntry::Look::General:
        return;
    }
    if (!format.general)
        return;
    Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
        ->setPropertyValue(rtl::OUString("NumberFormat"),
            uno::Any(mTypes->getStandardFormat(type, format.locale)));
}

void CellWriter::write(
    int sheetNumber, int row, int column, const CellValue& value, const QLocale& locale)
{
    if (row < 1 || column < 1)
        throw AppError(
            QStringLiteral("There is no cell in row %1, column %2.").arg(row).arg(column));
    const Reference<sheet::XSpreadsheet> target = sheet(sheetNumber);
    officeCall(QStringLiteral("write cell %1").arg(cellName(row, column)), [&] {
        const Reference<table::XCell> cell = Reference<table::XCellRange>(target, UNO_QUERY_THROW)
                                                 ->getCellByPosition(column - 1, row - 1);
        if (const QDate* date = std::get_if<QDate>(&value)) {
            // A picker without a date leaves an empty cell, which formulas read as day 0.
            if (!date->isValid()) {
                clearCell(cell);
                return;
            }
            const Format format = formatOf(cell);
            cell->setValue(dateSerial(*date));
            applyLook(cell, format, TypedEntry::Look::Date);
            return;
        }
        const QString* typed = std::get_if<QString>(&value);
        if (!typed) {
            clearCell(cell);
            return;
        }
        const Format format = formatOf(cell);
        const TypedEntry entry = parseTypedEntry(*typed, locale, format.percent);
        switch (entry.kind) {
        case TypedEntry::Kind::Empty:
            clearCell(cell);
            break;
        case TypedEntry::Kind::Number:
            cell->setValue(entry.number);
            applyLook(cell, format, entry.look);
            break;
        case TypedEntry::Kind::Text:
            Reference<text::XTextRange>(cell, UNO_QUERY_THROW)->setString(toOUString(entry.text));
            break;
        }
    });
}
