#include "rangepicture.h"

#include "app/apperror.h"
#include "officebitmap.h"
#include "screengridlines.h"
#include "unoconvert.h"

#include <QClipboard>
#include <QGuiApplication>
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

// The office's bitmap flavour comes in less than half the time of its PNG, which it compresses. The
// office sizes the picture from the rows' heights but draws the rows a pixel or so lower,
// leaving a white band at the bottom (and at times a column of white on the right); it also
// starts the drawing a pixel in from the top and the left: those edges are cut off.
QImage trimmedPictureOf(const Reference<datatransfer::XTransferable>& transferable)
{
    const uno::Sequence<datatransfer::DataFlavor> flavors = transferable->getTransferDataFlavors();
    for (const char* mimeType : { "image/bmp", "image/png" }) {
        for (const datatransfer::DataFlavor& flavor : flavors) {
            if (!flavor.MimeType.startsWith(rtl::OUString::createFromAscii(mimeType)))
                continue;
            uno::Sequence<sal_Int8> bytes;
            transferable->getTransferData(flavor) >>= bytes;
            // Read where the bridge put them: the bitmap is megabytes.
            return trimmedPicture(QByteArray::fromRawData(
                reinterpret_cast<const char*>(bytes.getConstArray()), bytes.getLength()));
        }
    }
    return QImage();
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
            lined = trimmedPictureOf(
                Reference<datatransfer::XTransferableSupplier>(view, UNO_QUERY_THROW)
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
    // Cut before the gridlines are drawn: the edges are white, and stay white in either order.
    return withScreenGridlines(std::move(lined));
}

void putPictureOnClipboard(const QImage& picture)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::clipboard()->setImage(picture);
}
