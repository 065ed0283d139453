#pragma once

#include <QString>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

// A worksheet range as a one-page PDF at natural size (100 %, a margin of rangePdfMarginMm all
// round, no headers, no notes), with the printed gridlines or without them. A vector drawing of
// what the range's picture shows, for drawing it sharper than 96 dpi. The workbook is left as it
// was: its page style and changed state are put back after the export.
void exportRangePdf(const css::uno::Reference<css::frame::XModel>& workbook,
    const css::uno::Reference<css::sheet::XSpreadsheet>& sheet,
    const css::table::CellRangeAddress& range, const QString& path, bool gridlines);

constexpr int rangePdfMarginMm = 5;
