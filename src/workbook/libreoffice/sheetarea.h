#pragma once

#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

// The sheet's used range as a spreadsheet user knows it: every cell with content and every
// cell that carries formatting of its own, from the first such row and column to the last.
css::table::CellRangeAddress usedArea(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);
