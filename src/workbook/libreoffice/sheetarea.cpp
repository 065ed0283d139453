#include "sheetarea.h"

#include <algorithm>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>

using namespace css;

namespace {

bool contains(const table::CellRangeAddress& range, sal_Int32 column, sal_Int32 row)
{
    return range.StartColumn <= column && column <= range.EndColumn && range.StartRow <= row
        && row <= range.EndRow;
}

} // namespace

css::table::CellRangeAddress usedArea(const uno::Reference<sheet::XSpreadsheet>& sheet)
{
    const uno::Reference<sheet::XSheetCellCursor> cursor = sheet->createCursor();
    const uno::Reference<sheet::XUsedAreaCursor> used(cursor, uno::UNO_QUERY_THROW);
    used->gotoStartOfUsedArea(false);
    used->gotoEndOfUsedArea(true);
    table::CellRangeAddress area
        = uno::Reference<sheet::XCellRangeAddressable>(cursor, uno::UNO_QUERY_THROW)
              ->getRangeAddress();

    // The office's used area leaves out blank cells that only carry a number format; they
    // belong to the used range as well. Every group of equally formatted cells counts except
    // the one with the untouched default format, which holds the sheet's last cell, and
    // formats given to whole columns or rows.
    const table::CellRangeAddress whole
        = uno::Reference<sheet::XCellRangeAddressable>(sheet, uno::UNO_QUERY_THROW)
              ->getRangeAddress();
    const uno::Reference<container::XIndexAccess> groups
        = uno::Reference<sheet::XUniqueCellFormatRangesSupplier>(sheet, uno::UNO_QUERY_THROW)
              ->getUniqueCellFormatRanges();
    for (sal_Int32 index = 0; index < groups->getCount(); ++index) {
        const uno::Sequence<table::CellRangeAddress> ranges
            = uno::Reference<sheet::XSheetCellRanges>(
                groups->getByIndex(index), uno::UNO_QUERY_THROW)
                  ->getRangeAddresses();
        if (std::any_of(ranges.begin(), ranges.end(), [&](const table::CellRangeAddress& range) {
                return contains(range, whole.EndColumn, whole.EndRow);
            }))
            continue;
        for (const table::CellRangeAddress& range : ranges) {
            if (range.EndRow >= whole.EndRow || range.EndColumn >= whole.EndColumn)
                continue;
            area.StartColumn = std::min(area.StartColumn, range.StartColumn);
            area.StartRow = std::min(area.StartRow, range.StartRow);
            area.EndColumn = std::max(area.EndColumn, range.EndColumn);
            area.EndRow = std::max(area.EndRow, range.EndRow);
        }
    }
    return area;
}
