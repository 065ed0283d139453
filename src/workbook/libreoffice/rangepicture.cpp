#include "rangepicture.h"

#include "app/apperror.h"
#include "unoconvert.h"

#include <QClipboard>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <algorithm>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/CellFlags.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XCellRangesQuery.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSheetCellRanges.hpp>
#include <com/sun/star/sheet/XUniqueCellFormatRangesSupplier.hpp>
#include <com/sun/star/table/BorderLineStyle.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/TableBorder2.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <iterator>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

constexpr sal_Int32 gridlineColour = 0xC0C0C0;

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

// Every line of the cells, the given one or none.
table::TableBorder2 allLines(const table::BorderLine2& line)
{
    table::TableBorder2 border;
    border.TopLine = border.BottomLine = border.LeftLine = border.RightLine = line;
    border.HorizontalLine = border.VerticalLine = line;
    border.IsTopLineValid = border.IsBottomLineValid = border.IsLeftLineValid
        = border.IsRightLineValid = border.IsHorizontalLineValid = border.IsVerticalLineValid
        = true;
    return border;
}

// What a group of equally formatted cells shows, as far as gridlines and running-on text go.
struct CellLook {
    bool plain = false;
    bool wrapped = false;
    table::CellHoriJustify justify = table::CellHoriJustify_STANDARD;
    QFont font;
};

CellLook lookOf(const uno::Sequence<uno::Any>& values)
{
    // In the order of lookProperties().
    table::BorderLine2 bottom, left, right, top;
    rtl::OUString fontName;
    float points = 10;
    awt::FontSlant slant = awt::FontSlant_NONE;
    float weight = awt::FontWeight::NORMAL;
    bool transparent = false;
    CellLook look;
    values[0] >>= bottom;
    values[1] >>= fontName;
    values[2] >>= points;
    values[3] >>= slant;
    values[4] >>= weight;
    values[5] >>= look.justify;
    values[6] >>= transparent;
    values[7] >>= look.wrapped;
    values[8] >>= left;
    values[9] >>= right;
    values[10] >>= top;
    look.plain
        = transparent && !hasLine(bottom) && !hasLine(left) && !hasLine(right) && !hasLine(top);
    look.font = QFont(fromOUString(fontName));
    look.font.setPixelSize(qRound(points * 96.0 / 72.0));
    look.font.setBold(weight > awt::FontWeight::SEMIBOLD);
    look.font.setItalic(slant != awt::FontSlant_NONE);
    return look;
}

uno::Sequence<rtl::OUString> lookProperties()
{
    // Sorted, as XMultiPropertySet wants them.
    static const char* const names[] = { "BottomBorder2", "CharFontName", "CharHeight",
        "CharPosture", "CharWeight", "HoriJustify", "IsCellBackgroundTransparent", "IsTextWrapped",
        "LeftBorder2", "RightBorder2", "TopBorder2" };
    uno::Sequence<rtl::OUString> result(static_cast<sal_Int32>(std::size(names)));
    for (sal_Int32 i = 0; i < result.getLength(); ++i)
        result.getArray()[i] = rtl::OUString::createFromAscii(names[i]);
    return result;
}

using Cell = QPair<sal_Int32, sal_Int32>; // column, row

void clearLine(const Reference<frame::XModel>& document, sal_Int16 sheet, const QList<Cell>& cells,
    const char* line)
{
    if (cells.isEmpty())
        return;
    const Reference<sheet::XSheetCellRangeContainer> container(
        Reference<lang::XMultiServiceFactory>(document, UNO_QUERY_THROW)
            ->createInstance(rtl::OUString("com.sun.star.sheet.SheetCellRanges")),
        UNO_QUERY_THROW);
    uno::Sequence<table::CellRangeAddress> addresses(cells.size());
    for (int i = 0; i < cells.size(); ++i) {
        table::CellRangeAddress& address = addresses.getArray()[i];
        address.Sheet = sheet;
        address.StartColumn = address.EndColumn = cells[i].first;
        address.StartRow = address.EndRow = cells[i].second;
    }
    container->addRangeAddresses(addresses, false);
    Reference<beans::XPropertySet>(container, UNO_QUERY_THROW)
        ->setPropertyValue(rtl::OUString::createFromAscii(line), uno::Any(table::BorderLine2 {}));
}

// Gives the range the gridlines of the screen: grey hairlines on the cells that have neither a
// fill nor borders of their own. Text wider than its cell runs on over empty neighbours; the
// office then leaves out the lines between the cells it runs over, but not the line where the
// text leaves its own cell, so that one is taken away on both cells that share it.
Reference<beans::XPropertySet> drawGridlines(const Reference<frame::XModel>& document,
    const Reference<table::XCellRange>& range, const table::CellRangeAddress& area)
{
    const Reference<container::XIndexAccess> groups
        = Reference<sheet::XUniqueCellFormatRangesSupplier>(range, UNO_QUERY_THROW)
              ->getUniqueCellFormatRanges();
    const uno::Sequence<rtl::OUString> names = lookProperties();
    QList<CellLook> looks;
    QHash<Cell, int> lookOfCell;
    QList<table::CellRangeAddress> plainBlocks;
    for (sal_Int32 index = 0; index < groups->getCount(); ++index) {
        const Reference<sheet::XSheetCellRanges> group(groups->getByIndex(index), UNO_QUERY_THROW);
        const CellLook look = lookOf(
            Reference<beans::XMultiPropertySet>(group, UNO_QUERY_THROW)->getPropertyValues(names));
        looks << look;
        const uno::Sequence<table::CellRangeAddress> addresses = group->getRangeAddresses();
        for (const table::CellRangeAddress& block : addresses)
            for (sal_Int32 row = block.StartRow; row <= block.EndRow; ++row)
                for (sal_Int32 column = block.StartColumn; column <= block.EndColumn; ++column)
                    lookOfCell.insert({ column, row }, looks.size() - 1);
        if (look.plain)
            std::copy(addresses.begin(), addresses.end(), std::back_inserter(plainBlocks));
    }
    if (plainBlocks.isEmpty())
        return nullptr;
    // One change for all of them: the office spends a millisecond or more on each change.
    const Reference<sheet::XSheetCellRangeContainer> plain(
        Reference<lang::XMultiServiceFactory>(document, UNO_QUERY_THROW)
            ->createInstance(rtl::OUString("com.sun.star.sheet.SheetCellRanges")),
        UNO_QUERY_THROW);
    plain->addRangeAddresses(
        uno::Sequence<table::CellRangeAddress>(plainBlocks.constData(), plainBlocks.size()), false);
    const Reference<beans::XPropertySet> lined(plain, UNO_QUERY_THROW);
    lined->setPropertyValue(rtl::OUString("TableBorder2"), uno::Any(allLines(gridline())));
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return lined;

    const uno::Sequence<uno::Sequence<uno::Any>> data
        = Reference<sheet::XCellRangeData>(range, UNO_QUERY_THROW)->getDataArray();
    // Only lines this drew are taken away: a cell's own borders stay.
    auto isPlain = [&](sal_Int32 column, sal_Int32 row) {
        return looks.at(lookOfCell.value({ column, row })).plain;
    };
    auto isEmpty = [&](sal_Int32 column, sal_Int32 row) {
        if (column < area.StartColumn || column > area.EndColumn || !isPlain(column, row))
            return false;
        const uno::Any& value = data[row - area.StartRow][column - area.StartColumn];
        rtl::OUString text;
        return !value.hasValue() || ((value >>= text) && text.isEmpty());
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

    QList<Cell> clearRight, clearLeft;
    const uno::Sequence<table::CellRangeAddress> texts
        = Reference<sheet::XCellRangesQuery>(range, UNO_QUERY_THROW)
              ->queryContentCells(sheet::CellFlags::STRING)
              ->getRangeAddresses();
    for (const table::CellRangeAddress& block : texts) {
        for (sal_Int32 row = block.StartRow; row <= block.EndRow; ++row) {
            for (sal_Int32 column = block.StartColumn; column <= block.EndColumn; ++column) {
                const CellLook& look = looks.at(lookOfCell.value({ column, row }));
                rtl::OUString text;
                data[row - area.StartRow][column - area.StartColumn] >>= text;
                if (look.wrapped)
                    continue;
                const QFontMetricsF metrics(look.font);
                double textWidth = 0;
                for (const QString& line : fromOUString(text).split(QLatin1Char('\n')))
                    textWidth = std::max(textWidth, metrics.horizontalAdvance(line));
                // A few pixels of the cell are its inner margins.
                if (textWidth + 4 <= widthOf(column))
                    continue;
                const table::CellHoriJustify justify = look.justify;
                const bool runsRight = justify == table::CellHoriJustify_STANDARD
                    || justify == table::CellHoriJustify_LEFT
                    || justify == table::CellHoriJustify_CENTER;
                const bool runsLeft = justify == table::CellHoriJustify_RIGHT
                    || justify == table::CellHoriJustify_CENTER;
                if (!look.plain)
                    continue;
                if (runsRight && isEmpty(column + 1, row))
                    clearRight << Cell(column, row), clearLeft << Cell(column + 1, row);
                if (runsLeft && isEmpty(column - 1, row))
                    clearLeft << Cell(column, row), clearRight << Cell(column - 1, row);
            }
        }
    }
    clearLine(document, area.Sheet, clearRight, "RightBorder2");
    clearLine(document, area.Sheet, clearLeft, "LeftBorder2");
    return lined;
}

// The office's bitmap flavour costs half the time of its PNG, which it has to compress.
QImage pictureOf(const Reference<datatransfer::XTransferable>& transferable)
{
    const uno::Sequence<datatransfer::DataFlavor> flavors = transferable->getTransferDataFlavors();
    for (const char* mimeType : { "image/bmp", "image/png" }) {
        for (const datatransfer::DataFlavor& flavor : flavors) {
            if (!flavor.MimeType.startsWith(rtl::OUString::createFromAscii(mimeType)))
                continue;
            uno::Sequence<sal_Int8> bytes;
            transferable->getTransferData(flavor) >>= bytes;
            return QImage::fromData(
                reinterpret_cast<const uchar*>(bytes.getConstArray()), bytes.getLength());
        }
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

QImage renderRange(const Reference<frame::XModel>& workbook,
    const Reference<sheet::XSpreadsheet>& sheet, const table::CellRangeAddress& range)
{
    const QImage picture = officeCall(QStringLiteral("draw the worksheet"), [&] {
        // The gridlines go on the workbook itself and come off again: a throwaway copy of the
        // workbook would cost a load as long as the drawing.
        const Reference<beans::XPropertySet> document(workbook, UNO_QUERY_THROW);
        const Reference<util::XModifiable> modifiable(workbook, UNO_QUERY_THROW);
        const Reference<view::XSelectionSupplier> view(
            workbook->getCurrentController(), UNO_QUERY_THROW);
        const rtl::OUString adjustHeight("IsAdjustHeightEnabled");
        const bool wasModified = modifiable->isModified();
        bool adjusted = true;
        document->getPropertyValue(adjustHeight) >>= adjusted;
        const uno::Any selected = view->getSelection();
        Reference<beans::XPropertySet> lined;
        auto takeBack = [&] {
            // Lined cells had no borders of their own.
            if (lined.is())
                lined->setPropertyValue(
                    rtl::OUString("TableBorder2"), uno::Any(allLines(table::BorderLine2 {})));
            if (selected.hasValue())
                view->select(selected);
            document->setPropertyValue(adjustHeight, uno::Any(adjusted));
            modifiable->setModified(wasModified);
        };
        try {
            const Reference<table::XCellRange> cells
                = Reference<table::XCellRange>(sheet, UNO_QUERY_THROW)
                      ->getCellRangeByPosition(
                          range.StartColumn, range.StartRow, range.EndColumn, range.EndRow);
            // Borders would otherwise make the office grow the rows to fit them.
            document->setPropertyValue(adjustHeight, uno::Any(false));
            lined = drawGridlines(workbook, cells, range);
            view->select(uno::Any(cells));
            const QImage image
                = pictureOf(Reference<datatransfer::XTransferableSupplier>(view, UNO_QUERY_THROW)
                                ->getTransferable());
            takeBack();
            return image;
        } catch (...) {
            try {
                takeBack();
            } catch (const uno::Exception&) {
            }
            throw;
        }
    });
    if (picture.isNull())
        throw AppError(QStringLiteral("LibreOffice gave no picture of the worksheet."));
    return trimmedBlankEdges(picture);
}

void putPictureOnClipboard(const QImage& picture)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw AppError(QStringLiteral("There is no clipboard to put the picture on."));
    QGuiApplication::clipboard()->setImage(picture);
}
