#pragma once

#include <QImage>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>

// A picture of a worksheet range as the screen shows it: fills, fonts and formatted values
// as the office renders them, plus grey gridlines, which text running on over empty cells
// hides. The workbook is left as it was: its selection, page styles and changed state are put
// back after the drawing.
QImage renderRange(const css::uno::Reference<css::frame::XModel>& workbook,
    const css::uno::Reference<css::sheet::XSpreadsheet>& sheet,
    const css::table::CellRangeAddress& range);

// The picture replaces whatever the system clipboard held; without a GUI application there is no
// clipboard and nothing happens.
void putPictureOnClipboard(const QImage& picture);
