#include "rangepicture.h"

#include "app/apperror.h"
#include "unoconvert.h"

#include <QClipboard>
#include <QGuiApplication>
#include <algorithm>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/datatransfer/XTransferable.hpp>
#include <com/sun/star/datatransfer/XTransferableSupplier.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

const QRgb white = qRgb(255, 255, 255);
const QRgb gridlineGrey = qRgb(0xC0, 0xC0, 0xC0);
const QRgb gridBlack = qRgb(0, 0, 0);

const QRgb* pixelsOf(const QImage& image, int y)
{
    return reinterpret_cast<const QRgb*>(image.constScanLine(y));
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
// leaving a white band at the bottom (and at times a column of white on the right); it also
// starts the drawing a pixel in from the top and the left.
QImage trimmedBlankEdges(const QImage& image)
{
    auto rowIsBlank = [&](int y, int left, int right) {
        const QRgb* line = pixelsOf(image, y);
        return std::all_of(line + left, line + right, [](QRgb pixel) { return pixel == white; });
    };
    auto columnIsBlank = [&](int x, int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            if (pixelsOf(image, y)[x] != white)
                return false;
        return true;
    };
    int top = 0, bottom = image.height(), left = 0, right = image.width();
    while (bottom - top > 1 && rowIsBlank(bottom - 1, left, right))
        --bottom;
    while (bottom - top > 1 && rowIsBlank(top, left, right))
        ++top;
    while (right - left > 1 && columnIsBlank(right - 1, top, bottom))
        --right;
    while (right - left > 1 && columnIsBlank(left, top, bottom))
        ++left;
    return image.copy(left, top, right - left, bottom - top);
}

// Columns and rows of pixels that may hold gridlines: those with a black run longer than a
// letter is high or a dash is long. Text that passes still never fills a whole stretch between
// two crossing lines, which is what a gridline does.
struct GridCandidates {
    QList<int> columns, rows;
};

GridCandidates gridCandidates(const QImage& picture)
{
    constexpr int longerThanLetters = 12;
    const int width = picture.width();
    std::vector<int> run(size_t(width), 0), longest(size_t(width), 0);
    GridCandidates candidates;
    for (int y = 0; y < picture.height(); ++y) {
        const QRgb* pixels = pixelsOf(picture, y);
        int rowRun = 0, rowLongest = 0;
        for (int x = 0; x < width; ++x) {
            const bool black = pixels[x] == gridBlack;
            run[size_t(x)] = black ? run[size_t(x)] + 1 : 0;
            longest[size_t(x)] = std::max(longest[size_t(x)], run[size_t(x)]);
            rowRun = black ? rowRun + 1 : 0;
            rowLongest = std::max(rowLongest, rowRun);
        }
        if (rowLongest >= longerThanLetters)
            candidates.rows << y;
    }
    for (int x = 0; x < width; ++x)
        if (longest[size_t(x)] >= longerThanLetters)
            candidates.columns << x;
    return candidates;
}

enum LineFlag : quint8 { across = 1, down = 2 };

// The office draws a range's gridlines when the default page style asks for them on paper: in
// black, over everything, fills included, and not where text runs on over empty cells or
// cells are merged. The screen shows them grey, and not inside fills. Each line pixel lies on
// the first pixels of the cell to its right (or below, or both where lines cross): it takes
// that cell's colour, or grey where that cell or the one it parts from is blank.
// (A black border on a cell's edge passes for a gridline; the template has none.)
QImage withScreenGridlines(QImage drawn)
{
    QImage picture = std::move(drawn).convertToFormat(QImage::Format_RGB32);
    const int width = picture.width();
    const int height = picture.height();
    const GridCandidates candidates = gridCandidates(picture);
    std::vector<quint8> lines(size_t(width) * size_t(height), 0);
    auto lineAt
        = [&](int x, int y) -> quint8& { return lines[size_t(y) * size_t(width) + size_t(x)]; };
    // A stretch counts when all of it between the two crossing lines is black.
    for (const int x : candidates.columns) {
        for (int i = 0; i + 1 < candidates.rows.size(); ++i) {
            const int from = candidates.rows[i], to = candidates.rows[i + 1];
            bool drawnThrough = to - from > 1;
            for (int y = from + 1; y < to && drawnThrough; ++y)
                drawnThrough = pixelsOf(picture, y)[x] == gridBlack;
            for (int y = from; drawnThrough && y <= to; ++y)
                lineAt(x, y) |= down;
        }
    }
    for (const int y : candidates.rows) {
        const QRgb* pixels = pixelsOf(picture, y);
        for (int i = 0; i + 1 < candidates.columns.size(); ++i) {
            const int from = candidates.columns[i], to = candidates.columns[i + 1];
            if (to - from > 1 && std::all_of(pixels + from + 1, pixels + to, [](QRgb p) {
                    return p == gridBlack;
                }))
                for (int x = from; x <= to; ++x)
                    lineAt(x, y) |= across;
        }
    }
    const QImage original = picture; // the colours beside the lines, before any is recoloured
    auto colourAt = [&](int x, int y) {
        return x < 0 || y < 0 || x >= width || y >= height ? white : pixelsOf(original, y)[x];
    };
    for (int y = 0; y < height; ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint8 line = lineAt(x, y);
            if (line == 0 || pixels[x] != gridBlack)
                continue;
            const int dx = (line & down) ? 1 : 0, dy = (line & across) ? 1 : 0;
            const QRgb cell = colourAt(x + dx, y + dy);
            bool blankBeside = cell == white;
            if (dx && dy) {
                for (const QPoint corner : { QPoint(-1, -1), QPoint(1, -1), QPoint(-1, 1) })
                    blankBeside |= colourAt(x + corner.x(), y + corner.y()) == white;
            } else {
                blankBeside |= colourAt(x - dx, y - dy) == white;
            }
            pixels[x] = blankBeside ? gridlineGrey : cell;
        }
    }
    return picture;
}

// The clipboard copy of a range is drawn with the workbook's default page style, whose "print
// gridlines" switch also draws the gridlines into it.
class DefaultPageGrid {
public:
    explicit DefaultPageGrid(const Reference<frame::XModel>& workbook)
        : mStyle(Reference<container::XNameAccess>(
                     Reference<style::XStyleFamiliesSupplier>(workbook, UNO_QUERY_THROW)
                         ->getStyleFamilies()
                         ->getByName(rtl::OUString("PageStyles")),
                     UNO_QUERY_THROW)
                     ->getByName(rtl::OUString("Default")),
            UNO_QUERY_THROW)
    {
        mStyle->getPropertyValue(printGrid()) >>= mWasOn;
    }
    void set(bool on) { mStyle->setPropertyValue(printGrid(), uno::Any(on)); }
    void takeBack() { set(mWasOn); }

private:
    static rtl::OUString printGrid() { return rtl::OUString("PrintGrid"); }
    Reference<beans::XPropertySet> mStyle;
    bool mWasOn = false;
};

} // namespace

QImage renderRange(const Reference<frame::XModel>& workbook,
    const Reference<sheet::XSpreadsheet>& sheet, const table::CellRangeAddress& range)
{
    QImage lined;
    officeCall(QStringLiteral("draw the worksheet"), [&] {
        const Reference<util::XModifiable> modifiable(workbook, UNO_QUERY_THROW);
        const Reference<view::XSelectionSupplier> view(
            workbook->getCurrentController(), UNO_QUERY_THROW);
        const bool wasModified = modifiable->isModified();
        const uno::Any selected = view->getSelection();
        DefaultPageGrid grid(workbook);
        auto takeBack = [&] {
            grid.takeBack();
            if (selected.hasValue())
                view->select(selected);
            modifiable->setModified(wasModified);
        };
        try {
            view->select(uno::Any(Reference<table::XCellRange>(sheet, UNO_QUERY_THROW)
                                      ->getCellRangeByPosition(range.StartColumn, range.StartRow,
                                          range.EndColumn, range.EndRow)));
            grid.set(true);
            lined = pictureOf(Reference<datatransfer::XTransferableSupplier>(view, UNO_QUERY_THROW)
                                  ->getTransferable());
            takeBack();
        } catch (...) {
            try {
                takeBack();
            } catch (const uno::Exception&) {
            }
            throw;
        }
    });
    if (lined.isNull())
        throw AppError(QStringLiteral("LibreOffice gave no picture of the worksheet."));
    return trimmedBlankEdges(withScreenGridlines(std::move(lined)));
}

void putPictureOnClipboard(const QImage& picture)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setImage(picture);
}
