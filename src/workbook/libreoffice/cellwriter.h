#pragma once

#include "loadedformats.h"
#include "typedentry.h"
#include "workbook/spreadsheetapplication.h"

#include <QLocale>
#include <QVector>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XNumberFormatTypes.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <map>
#include <memory>
#include <set>
#include <tuple>

// Writes values into one workbook's cells as typing them would store them. It remembers what
// it has learnt of the workbook's sheets and number formats: every question to the office is a
// round trip, and a run writes a hundred cells.
class CellWriter final {
public:
    // With the formats workbooks loaded from the same bytes had, when the caller knows them.
    explicit CellWriter(const css::uno::Reference<css::frame::XModel>& workbook,
        std::shared_ptr<LoadedFormats> loaded = nullptr);

    // The worksheet with that number, counted from 1; AppError when there is none.
    css::uno::Reference<css::sheet::XSpreadsheet> sheet(int number);
    // Text is read under the locale's typing rules; a date becomes its day number; nothing
    // (and a date picker's "no date") empties the cell.
    void write(int sheet, int row, int column, const CellValue& value, const QLocale& locale);
    // The values into the cells of one column from firstRow down, each as write() would store
    // it, in a few calls for the whole block: a call to the office costs far more than the
    // work it asks for. Comments on the block's cells go with their old contents.
    void writeColumn(int sheet, int firstRow, int column, const QVector<CellValue>& values,
        const QLocale& locale);

private:
    using Format = LoadedFormats::Format;
    using Cell = std::tuple<int, int, int>; // sheet, row, column

    void writeBlock(const QString& action, int sheet, int firstRow, int column,
        const QVector<CellValue>& values, const QLocale& locale);
    Format formatOfKey(sal_Int32 key);
    // The number format of each cell of a one-column range, top to bottom.
    QVector<Format> formatsOf(const css::uno::Reference<css::table::XCellRange>& range, int rows);
    // The formats of the cells of the block at `needed`, from what loading gave them where
    // that still holds, else from the office.
    QVector<Format> formatsFor(const css::uno::Reference<css::table::XCellRange>& range, int sheet,
        int firstRow, int column, const QVector<bool>& needed);
    // The locale's standard format of the type, as this workbook numbers it.
    sal_Int32 standardFormat(sal_Int16 type, const css::lang::Locale& locale);
    void connectFormats();
    // Gives the block's cells at `rows` (offsets, ascending) the format.
    void setFormat(const css::uno::Reference<css::table::XCellRange>& range, int sheet,
        int firstRow, int column, const QVector<int>& rows, sal_Int32 key);

    css::uno::Reference<css::frame::XModel> mWorkbook;
    css::uno::Reference<css::container::XIndexAccess> mSheets;
    css::uno::Reference<css::util::XNumberFormats> mFormats;
    css::uno::Reference<css::util::XNumberFormatTypes> mTypes;
    std::map<int, css::uno::Reference<css::sheet::XSpreadsheet>> mSheetByNumber;
    std::map<sal_Int32, Format> mFormatByKey;
    std::map<std::tuple<sal_Int16, rtl::OUString, rtl::OUString, rtl::OUString>, sal_Int32>
        mStandardFormats;
    css::uno::Reference<css::lang::XMultiServiceFactory> mFactory;
    std::shared_ptr<LoadedFormats> mLoaded;
    // Cells whose format this writer changed: no longer as loading gave them.
    std::set<Cell> mChanged;
};
