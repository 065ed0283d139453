#include "rangepicture.h"

#include "app/apperror.h"
#include "officeinstance.h"
#include "unoconvert.h"

#include <QClipboard>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellFormatRangesSupplier.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/text/XTextRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

constexpr sal_Int32 gridlineColour = 0xC0C0C0;

beans::PropertyValue property(const char* name, const uno::Any& value)
{
    beans::PropertyValue result;
    result.Name = rtl::OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

bool hasLine(const table::BorderLine2& line)
{
    return line.OuterLineWidth != 0 || line.InnerLineWidth != 0 || line.LineWidth != 0;
}

table::BorderLine2 gridline()
{
    table::BorderLine2 line;
    line.Color = gridlineColour;
    line.LineStyle = table::BorderLineStyle::SOLID;
    line.LineWidth = 1;
    line.OuterLineWidth = 1;
    return line;
}

// The screen's gridlines show only on cells without a fill, and not where a cell has a border of
// its own. Each plain cell draws its left and top gridline; the right and bottom ones come from
// its neighbours, so a filled neighbour hides them, as on screen, and text that runs on into
// empty cells is not crossed (the office leaves out the borders of cells it runs over). The
// range's last column and row draw their right and bottom lines themselves.
void drawGridlines(const Reference<table::XCellRange>& range)
{
    const Reference<container::XIndexAccess> uniform
        = Reference<sheet::XCellFormatRangesSupplier>(range, UNO_QUERY_THROW)
              ->getCellFormatRanges();
    table::TableBorder2 grid;
    grid.TopLine = grid.BottomLine = grid.LeftLine = grid.RightLine = gridline();
    grid.HorizontalLine = grid.VerticalLine = gridline();
    grid.IsTopLineValid = grid.IsBottomLineValid = grid.IsLeftLineValid = grid.IsRightLineValid
        = true;
    grid.IsHorizontalLineValid = grid.IsVerticalLineValid = true;
    for (sal_Int32 index = 0; index < uniform->getCount(); ++index) {
        const Reference<beans::XPropertySet> part(uniform->getByIndex(index), UNO_QUERY_THROW);
        bool transparent = false;
        part->getPropertyValue(rtl::OUString("IsCellBackgroundTransparent")) >>= transparent;
        table::TableBorder2 border;
        part->getPropertyValue(rtl::OUString("TableBorder2")) >>= border;
        if (!transparent || hasLine(border.TopLine) || hasLine(border.BottomLine)
            || hasLine(border.LeftLine) || hasLine(border.RightLine))
            continue;
        part->setPropertyValue(rtl::OUString("TableBorder2"), uno::Any(grid));
    }
}

// Text wider than its cell runs on over empty neighbours. The office then leaves out the lines
// between the cells it runs over, but not the line where the text leaves its own cell: that
// one is taken away here, on both cells that share it.
void clearOverflowEdges(
    const Reference<table::XCellRange>& range, const table::CellRangeAddress& area)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;
    const Reference<sheet::XCellRangesQuery> query(range, UNO_QUERY_THROW);
    QSet<QPair<sal_Int32, sal_Int32>> filled;
    const auto contents
        = query
              ->queryContentCells(sheet::CellFlags::VALUE | sheet::CellFlags::DATETIME
                  | sheet::CellFlags::STRING | sheet::CellFlags::FORMULA)
              ->getRangeAddresses();
    for (const table::CellRangeAddress& block : contents)
        for (sal_Int32 row = block.StartRow; row <= block.EndRow; ++row)
            for (sal_Int32 column = block.StartColumn; column <= block.EndColumn; ++column)
                filled.insert({ column, row });
    auto isEmpty = [&](sal_Int32 column, sal_Int32 row) {
        return column >= area.StartColumn && column <= area.EndColumn
            && !filled.contains({ column, row });
    };

    const Reference<container::XIndexAccess> columns(
        Reference<table::XColumnRowRange>(range, UNO_QUERY_THROW)->getColumns(), UNO_QUERY_THROW);
    QHash<sal_Int32, double> columnPixels;
    auto widthOf = [&](sal_Int32 column) {
        if (!columnPixels.contains(column)) {
            sal_Int32 hundredths = 0;
            Reference<beans::XPropertySet>(
                columns->getByIndex(column - area.StartColumn), UNO_QUERY_THROW)
                ->getPropertyValue(rtl::OUString("Width"))
                >>= hundredths;
            columnPixels.insert(column, hundredths / 2540.0 * 96.0);
        }
        return columnPixels.value(column);
    };

    uno::Sequence<rtl::OUString> names(6);
    names.getArray()[0] = "CharFontName";
    names.getArray()[1] = "CharHeight";
    names.getArray()[2] = "CharPosture";
    names.getArray()[3] = "CharWeight";
    names.getArray()[4] = "HoriJustify";
    names.getArray()[5] = "IsTextWrapped";
    const uno::Any noLine(table::BorderLine2 {});
    const auto texts = query->queryContentCells(sheet::CellFlags::STRING)->getRangeAddresses();
    for (const table::CellRangeAddress& block : texts) {
        for (sal_Int32 row = block.StartRow; row <= block.EndRow; ++row) {
            for (sal_Int32 column = block.StartColumn; column <= block.EndColumn; ++column) {
                const Reference<table::XCell> cell
                    = range->getCellByPosition(column - area.StartColumn, row - area.StartRow);
                const uno::Sequence<uno::Any> values
                    = Reference<beans::XMultiPropertySet>(cell, UNO_QUERY_THROW)
                          ->getPropertyValues(names);
                rtl::OUString fontName;
                float points = 10;
                awt::FontSlant slant = awt::FontSlant_NONE;
                float weight = awt::FontWeight::NORMAL;
                table::CellHoriJustify justify = table::CellHoriJustify_STANDARD;
                bool wrapped = false;
                values[0] >>= fontName;
                values[1] >>= points;
                values[2] >>= slant;
                values[3] >>= weight;
                values[4] >>= justify;
                values[5] >>= wrapped;
                if (wrapped)
                    continue;
                QFont font(fromOUString(fontName));
                font.setPixelSize(qRound(points * 96.0 / 72.0));
                font.setBold(weight > awt::FontWeight::SEMIBOLD);
                font.setItalic(slant != awt::FontSlant_NONE);
                const QFontMetricsF metrics(font);
                double textWidth = 0;
                for (const QString& line :
                    fromOUString(Reference<text::XTextRange>(cell, UNO_QUERY_THROW)->getString())
                        .split(QLatin1Char('\n')))
                    textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
                // A few pixels of the cell are its inner margins.
                if (textWidth + 4 <= widthOf(column))
                    continue;
                const bool right = justify == table::CellHoriJustify_STANDARD
                    || justify == table::CellHoriJustify_LEFT
                    || justify == table::CellHoriJustify_CENTER;
                const bool left = justify == table::CellHoriJustify_RIGHT
                    || justify == table::CellHoriJustify_CENTER;
                const sal_Int32 r = row - area.StartRow;
                const sal_Int32 c = column - area.StartColumn;
                if (right && isEmpty(column + 1, row)) {
                    Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
                        ->setPropertyValue(rtl::OUString("RightBorder2"), noLine);
                    Reference<beans::XPropertySet>(
                        range->getCellByPosition(c + 1, r), UNO_QUERY_THROW)
                        ->setPropertyValue(rtl::OUString("LeftBorder2"), noLine);
                }
                if (left && isEmpty(column - 1, row)) {
                    Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
                        ->setPropertyValue(rtl::OUString("LeftBorder2"), noLine);
                    Reference<beans::XPropertySet>(
                        range->getCellByPosition(c - 1, r), UNO_QUERY_THROW)
                        ->setPropertyValue(rtl::OUString("RightBorder2"), noLine);
                }
            }
        }
    }
}

QImage pngOf(const Reference<datatransfer::XTransferable>& transferable)
{
    const uno::Sequence<datatransfer::DataFlavor> flavors = transferable->getTransferDataFlavors();
    for (const datatransfer::DataFlavor& flavor : flavors) {
        if (!flavor.MimeType.startsWith("image/png"))
            continue;
        uno::Sequence<sal_Int8> bytes;
        transferable->getTransferData(flavor) >>= bytes;
        return QImage::fromData(
            reinterpret_cast<const uchar*>(bytes.getConstArray()), bytes.getLength(), "PNG");
    }
    return QImage();
}

// The office sizes the picture from the rows' heights but draws the rows a pixel or so lower,
// leaving a white band at the bottom (and at times a column of white on the right).
QImage trimmedBlankEdges(const QImage& picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const QRgb white = qRgb(255, 255, 255);
    auto rowIsBlank = [&](int y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        return std::all_of(line, line + image.width(), [&](QRgb pixel) { return pixel == white; });
    };
    auto columnIsBlank = [&](int x, int height) {
        for (int y = 0; y < height; ++y)
            if (image.pixel(x, y) != white)
                return false;
        return true;
    };
    int height = image.height();
    while (height > 1 && rowIsBlank(height - 1))
        --height;
    int width = image.width();
    while (width > 1 && columnIsBlank(width - 1, height))
        --width;
    return image.copy(0, 0, width, height);
}

} // namespace

QImage renderRange(OfficeInstance& office, const Reference<frame::XModel>& workbook,
    const Reference<sheet::XSpreadsheet>& sheet, const table::CellRangeAddress& range)
{
    QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/ferrowynd-render-XXXXXX"));
    if (!folder.isValid())
        throw AppError(QStringLiteral("No folder for rendering the worksheet could be made: %1")
                           .arg(folder.errorString()));
    const rtl::OUString copyUrl = fileUrl(folder.filePath(QStringLiteral("render.ods")));
    const auto desktop = office.desktop();
    Reference<util::XCloseable> copy;
    try {
        const QImage picture = officeCall(QStringLiteral("draw the worksheet"), [&] {
            // The copy carries unsaved changes too, and nothing done to it reaches the workbook.
            uno::Sequence<beans::PropertyValue> store(1);
            store.getArray()[0] = property("FilterName", uno::Any(rtl::OUString("calc8")));
            Reference<frame::XStorable>(workbook, UNO_QUERY_THROW)->storeToURL(copyUrl, store);
            uno::Sequence<beans::PropertyValue> load(1);
            load.getArray()[0] = property("Hidden", uno::Any(true));
            const Reference<frame::XModel> model(
                Reference<frame::XComponentLoader>(desktop, UNO_QUERY_THROW)
                    ->loadComponentFromURL(copyUrl, rtl::OUString("_blank"), 0, load),
                UNO_QUERY_THROW);
            copy.set(model, UNO_QUERY_THROW);

            const rtl::OUString name
                = Reference<container::XNamed>(sheet, UNO_QUERY_THROW)->getName();
            const Reference<sheet::XSpreadsheet> target(
                Reference<sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)
                    ->getSheets()
                    ->getByName(name),
                UNO_QUERY_THROW);
            const Reference<table::XCellRange> cells
                = Reference<table::XCellRange>(target, UNO_QUERY_THROW)
                      ->getCellRangeByPosition(
                          range.StartColumn, range.StartRow, range.EndColumn, range.EndRow);
            drawGridlines(cells);
            clearOverflowEdges(cells, range);

            const Reference<frame::XController> controller = model->getCurrentController();
            Reference<sheet::XSpreadsheetView>(controller, UNO_QUERY_THROW)->setActiveSheet(target);
            Reference<view::XSelectionSupplier>(controller, UNO_QUERY_THROW)
                ->select(uno::Any(cells));
            return pngOf(Reference<datatransfer::XTransferableSupplier>(controller, UNO_QUERY_THROW)
                             ->getTransferable());
        });
        if (copy.is())
            copy->close(true);
        if (picture.isNull())
            throw AppError(QStringLiteral("LibreOffice gave no picture of the worksheet."));
        return trimmedBlankEdges(picture);
    } catch (...) {
        try {
            if (copy.is())
                copy->close(true);
        } catch (const uno::Exception&) {
        }
        throw;
    }
}

void putPictureOnClipboard(const QImage& picture)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw AppError(QStringLiteral("There is no clipboard to put the picture on."));
    QGuiApplication::clipboard()->setImage(picture);
}
