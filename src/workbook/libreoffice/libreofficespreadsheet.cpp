#include "libreofficespreadsheet.h"

#include "app/apperror.h"
#include "rangepdf.h"
#include "rangepicture.h"
#include "sheetarea.h"
#include "sheetpdf.h"
#include "unoconvert.h"
#include "workbook/template/compoundfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XLayoutManager.hpp>
#include <com/sun/star/frame/XLoadable.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY;
using uno::UNO_QUERY_THROW;

namespace {

constexpr int xlExcel8 = 56;
constexpr int xlWorkbookNormal = -4143;
// css::sheet::FormulaResult::VALUE, the "FormulaResultType2" of a formula with a numeric result.
constexpr sal_Int32 numericFormulaResult = 1;
constexpr char excel97Filter[] = "MS Excel 97";

bool isCursor(const Reference<table::XCellRange>& cells, const BiffPatcher::Cursor& cursor)
{
    const table::CellRangeAddress address
        = Reference<sheet::XCellRangeAddressable>(cells, UNO_QUERY_THROW)->getRangeAddress();
    return address.Sheet == 0 && address.StartRow == cursor.row && address.EndRow == cursor.row
        && address.StartColumn == cursor.column && address.EndColumn == cursor.column;
}

} // namespace

std::shared_ptr<LoadedFormats> LibreOfficeSpreadsheet::loadedFormatsOf(
    const QByteArray& bytes) const
{
    // Identified by content: every run opens its own copy of the template.
    if (bytes.isEmpty())
        return nullptr;
    return LoadedFormats::of(mOffice, QCryptographicHash::hash(bytes, QCryptographicHash::Sha256));
}

Reference<frame::XController> LibreOfficeSpreadsheet::viewOf(const Reference<frame::XModel>& model)
{
    if (const Reference<frame::XController> current = model->getCurrentController(); current.is())
        return current;
    // The desktop gives an open document a hidden frame and view of its own.
    uno::Sequence<beans::PropertyValue> arguments(2);
    arguments.getArray()[0] = property("Hidden", uno::Any(true));
    arguments.getArray()[1] = property("Model", uno::Any(model));
    Reference<frame::XComponentLoader>(mOffice->desktop(), UNO_QUERY_THROW)
        ->loadComponentFromURL(
            rtl::OUString("private:object"), rtl::OUString("_blank"), 0, arguments);
    const Reference<frame::XController> controller = model->getCurrentController();
    if (!controller.is())
        throw AppError(QStringLiteral("LibreOffice could not give the workbook a view."));
    return controller;
}

template <typename Body> auto LibreOfficeSpreadsheet::watched(Body&& body) -> decltype(body())
{
    const OfficeInstance::Guard guard(*mOffice);
    try {
        return body();
    } catch (const AppError& error) {
        if (!mOffice->wasStuck())
            throw;
        throw AppError(
            QStringLiteral("%1 (LibreOffice gave no answer for %2 seconds and was ended.)")
                .arg(error.description())
                .arg(mOffice->callTimeoutMs() / 1000.0));
    }
}

LibreOfficeSpreadsheet::LibreOfficeSpreadsheet(const OfficeOptions& options)
    : mOffice(OfficeInstance::start(options))
    , mOwnsOffice(true)
{
}

LibreOfficeSpreadsheet::LibreOfficeSpreadsheet(std::shared_ptr<OfficeInstance> office)
    : mOffice(std::move(office))
{
    if (!mOffice)
        throw AppError(QStringLiteral("No LibreOffice instance was started."));
}

LibreOfficeSpreadsheet::~LibreOfficeSpreadsheet()
{
    // An instance that is dropped without Quit must not keep its office or its workbooks.
    quit();
}

int LibreOfficeSpreadsheet::openWorkbook(const QString& path)
{
    return open(path, true);
}

int LibreOfficeSpreadsheet::openWorkbookWithoutView(const QString& path)
{
    return open(path, false);
}

Reference<frame::XModel> LibreOfficeSpreadsheet::loadWithoutView(const rtl::OUString& url)
{
    // What the desktop's loader does before it builds a frame and a view for the document.
    const auto context = mOffice->context();
    const Reference<frame::XLoadable> document(
        context->getServiceManager()->createInstanceWithContext(
            rtl::OUString("com.sun.star.sheet.SpreadsheetDocument"), context),
        UNO_QUERY_THROW);
    uno::Sequence<beans::PropertyValue> arguments(2);
    arguments.getArray()[0] = property("URL", uno::Any(url));
    arguments.getArray()[1]
        = property("FilterName", uno::Any(rtl::OUString::createFromAscii(excel97Filter)));
    try {
        document->load(arguments);
    } catch (...) {
        // The empty document would otherwise stay in the office.
        try {
            Reference<util::XCloseable>(document, UNO_QUERY_THROW)->close(true);
        } catch (const uno::Exception&) {
        }
        throw;
    }
    return Reference<frame::XModel>(document, UNO_QUERY_THROW);
}

int LibreOfficeSpreadsheet::open(const QString& path, bool withView)
{
    return watched([&] {
        const QFileInfo file(path);
        if (!file.isFile())
            throw AppError(QStringLiteral("The workbook %1 could not be found.").arg(path));
        QFile content(path);
        const QByteArray bytes
            = content.open(QIODevice::ReadOnly) ? content.readAll() : QByteArray();
        const rtl::OUString url = fileUrl(path);
        const auto desktop = mOffice->desktop();
        const QString action = QStringLiteral("open %1").arg(QDir::toNativeSeparators(path));
        Reference<frame::XModel> model = officeCall(action, [&] {
            if (!withView)
                return loadWithoutView(url);
            uno::Sequence<beans::PropertyValue> arguments(1);
            arguments.getArray()[0] = property("Hidden", uno::Any(true));
            return Reference<frame::XModel>(
                Reference<frame::XComponentLoader>(desktop, UNO_QUERY_THROW)
                    ->loadComponentFromURL(url, rtl::OUString("_blank"), 0, arguments),
                UNO_QUERY);
        });
        if (!model.is())
            throw AppError(QStringLiteral("LibreOffice could not open %1.").arg(path));
        if (!Reference<sheet::XSpreadsheetDocument>(model, UNO_QUERY).is()) {
            officeCall(
                action, [&] { Reference<util::XCloseable>(model, UNO_QUERY_THROW)->close(true); });
            throw AppError(QStringLiteral("%1 is not a workbook.").arg(path));
        }
        std::optional<BiffPatcher::Cursor> cursor;
        if (!withView)
            cursor
                = BiffPatcher::openingCursor(compoundFileStream(bytes, QStringLiteral("Workbook")));
        mWorkbooks.push_back({ model, std::make_unique<CellWriter>(model, loadedFormatsOf(bytes)),
            std::nullopt, cursor });
        return static_cast<int>(mWorkbooks.size());
    });
}

int LibreOfficeSpreadsheet::workbookCount()
{
    return static_cast<int>(mWorkbooks.size());
}

Reference<frame::XModel> LibreOfficeSpreadsheet::workbook(int number) const
{
    if (number < 1 || number > static_cast<int>(mWorkbooks.size()))
        throw AppError(QStringLiteral("There is no open workbook number %1.").arg(number));
    return mWorkbooks[static_cast<size_t>(number - 1)].model;
}

Reference<frame::XModel> LibreOfficeSpreadsheet::activeWorkbook() const
{
    if (mWorkbooks.empty())
        throw AppError(QStringLiteral("No workbook is open."));
    return mWorkbooks.back().model;
}

Reference<sheet::XSpreadsheet> LibreOfficeSpreadsheet::activeSheet(
    const Reference<frame::XModel>& workbook) const
{
    const Reference<sheet::XSpreadsheetView> view = officeCall(
        QStringLiteral("find the active worksheet"), [&] {
            return Reference<sheet::XSpreadsheetView>(workbook->getCurrentController(), UNO_QUERY);
        });
    if (!view.is())
        return CellWriter(workbook).sheet(1);
    return officeCall(
        QStringLiteral("find the active worksheet"), [&] { return view->getActiveSheet(); });
}

void LibreOfficeSpreadsheet::setCell(int sheetNumber, int row, int column, const CellValue& value)
{
    watched([&] {
        if (mWorkbooks.empty())
            throw AppError(QStringLiteral("No workbook is open."));
        mWorkbooks.back().usedArea.reset();
        mWorkbooks.back().writer->write(sheetNumber, row, column, value, mTypingLocale);
    });
}

void LibreOfficeSpreadsheet::setColumnCells(
    int sheetNumber, int firstRow, int column, const QVector<CellValue>& values)
{
    watched([&] {
        if (mWorkbooks.empty())
            throw AppError(QStringLiteral("No workbook is open."));
        mWorkbooks.back().usedArea.reset();
        mWorkbooks.back().writer->writeColumn(sheetNumber, firstRow, column, values, mTypingLocale);
    });
}

void LibreOfficeSpreadsheet::selectRange(const QString& cell)
{
    watched([&] {
        const auto model = activeWorkbook();
        const std::optional<BiffPatcher::Cursor> savedCursor = mWorkbooks.back().savedCursor;
        officeCall(QStringLiteral("select %1").arg(cell), [&] {
            const auto cellsOnActiveSheet = [&] {
                return Reference<table::XCellRange>(activeSheet(model), UNO_QUERY_THROW)
                    ->getCellRangeByName(toOUString(cell));
            };
            // Without a view the workbook is saved with the cursor it was opened with.
            if (!model->getCurrentController().is() && savedCursor
                && isCursor(cellsOnActiveSheet(), *savedCursor))
                return;
            const Reference<frame::XController> controller = viewOf(model);
            // Given a view, the workbook may show another sheet than the first.
            const uno::Any cells(cellsOnActiveSheet());
            // The 97-2003 export takes the cursor from a visible view only; under --headless a
            // visible view still shows nothing anywhere.
            const Reference<frame::XFrame> frame = controller->getFrame();
            // Without toolbars and menus to lay out, the view comes up sooner.
            Reference<frame::XLayoutManager> layout;
            Reference<beans::XPropertySet>(frame, UNO_QUERY_THROW)
                ->getPropertyValue(rtl::OUString("LayoutManager"))
                >>= layout;
            if (layout.is()) {
                layout->setVisible(false);
                layout->lock();
            }
            frame->getContainerWindow()->setVisible(true);
            frame->activate();
            Reference<view::XSelectionSupplier>(controller, UNO_QUERY_THROW)->select(cells);
        });
    });
}

void LibreOfficeSpreadsheet::saveAs(int number, const QString& path, int fileFormat)
{
    watched([&] {
        if (fileFormat != xlExcel8 && fileFormat != xlWorkbookNormal)
            throw AppError(QStringLiteral("The file format %1 cannot be written.").arg(fileFormat));
        const auto model = workbook(number);
        const QFileInfo file(path);
        if (!file.absoluteDir().exists())
            throw AppError(QStringLiteral("The folder of %1 does not exist.").arg(path));
        const rtl::OUString url = fileUrl(path);
        officeCall(QStringLiteral("save %1").arg(QDir::toNativeSeparators(path)), [&] {
            uno::Sequence<beans::PropertyValue> arguments(2);
            arguments.getArray()[0]
                = property("FilterName", uno::Any(rtl::OUString::createFromAscii(excel97Filter)));
            arguments.getArray()[1] = property("Overwrite", uno::Any(true));
            Reference<frame::XStorable>(model, UNO_QUERY_THROW)->storeAsURL(url, arguments);
        });
    });
}

void LibreOfficeSpreadsheet::close(int number)
{
    watched([&] {
        const auto model = workbook(number);
        mWorkbooks.erase(mWorkbooks.begin() + (number - 1));
        officeCall(QStringLiteral("close the workbook"),
            [&] { Reference<util::XCloseable>(model, UNO_QUERY_THROW)->close(true); });
    });
}

void LibreOfficeSpreadsheet::quit()
{
    if (mOwnsOffice) {
        mWorkbooks.clear();
        mOffice->quit();
        return;
    }
    closeOwnWorkbooks();
}

void LibreOfficeSpreadsheet::closeOwnWorkbooks()
{
    std::vector<OpenWorkbook> open;
    open.swap(mWorkbooks);
    if (open.empty() || !mOffice->isAlive())
        return;
    const OfficeInstance::Guard guard(*mOffice);
    for (const OpenWorkbook& workbook : open) {
        try {
            Reference<util::XCloseable>(workbook.model, UNO_QUERY_THROW)->close(true);
        } catch (const uno::Exception&) {
            // An office that cannot close it is ended by its owner in time.
        }
    }
}

QString LibreOfficeSpreadsheet::version()
{
    return watched([&] { return mOffice->version(); });
}

table::CellRangeAddress LibreOfficeSpreadsheet::usedAreaOf(int number)
{
    const auto model = workbook(number);
    std::optional<table::CellRangeAddress>& known
        = mWorkbooks[static_cast<size_t>(number - 1)].usedArea;
    if (!known) {
        const auto target = activeSheet(model);
        known = officeCall(QStringLiteral("find the used range"), [&] { return usedArea(target); });
    }
    return *known;
}

int LibreOfficeSpreadsheet::usedRangeLastRow(int number)
{
    return watched([&] { return usedAreaOf(number).EndRow + 1; });
}

int LibreOfficeSpreadsheet::usedRangeLastColumn(int number)
{
    return watched([&] { return usedAreaOf(number).EndColumn + 1; });
}

QImage LibreOfficeSpreadsheet::copyPicture(int number)
{
    const QImage picture = sheetPicture(number);
    // Only a copy for the user: the picture is already the caller's.
    putPictureOnClipboard(picture);
    return picture;
}

QImage LibreOfficeSpreadsheet::sheetPicture(int number)
{
    return watched([&] {
        const auto model = workbook(number);
        officeCall(QStringLiteral("draw the worksheet"), [&] { viewOf(model); });
        const auto target = activeSheet(model);
        const auto area = usedAreaOf(number);
        return renderRange(model, target, area);
    });
}

Reference<table::XCell> LibreOfficeSpreadsheet::cellAt(
    int number, int sheetNumber, int row, int column)
{
    workbook(number);
    if (row < 1 || column < 1)
        throw AppError(QStringLiteral("There is no cell R%1C%2.").arg(row).arg(column));
    const auto target = mWorkbooks[static_cast<size_t>(number - 1)].writer->sheet(sheetNumber);
    return officeCall(QStringLiteral("find cell R%1C%2").arg(row).arg(column),
        [&] { return target->getCellByPosition(column - 1, row - 1); });
}

QString LibreOfficeSpreadsheet::cellText(int number, int sheetNumber, int row, int column)
{
    return watched([&] {
        const auto cell = cellAt(number, sheetNumber, row, column);
        return officeCall(QStringLiteral("read cell R%1C%2").arg(row).arg(column), [&] {
            return fromOUString(Reference<text::XText>(cell, UNO_QUERY_THROW)->getString());
        });
    });
}

std::optional<double> LibreOfficeSpreadsheet::cellNumber(
    int number, int sheetNumber, int row, int column)
{
    return watched([&] {
        const auto cell = cellAt(number, sheetNumber, row, column);
        return officeCall(QStringLiteral("read cell R%1C%2").arg(row).arg(column),
            [&]() -> std::optional<double> {
                switch (cell->getType()) {
                case table::CellContentType_VALUE:
                    return cell->getValue();
                case table::CellContentType_FORMULA: {
                    sal_Int32 result = 0;
                    Reference<beans::XPropertySet>(cell, UNO_QUERY_THROW)
                        ->getPropertyValue(rtl::OUString("FormulaResultType2"))
                        >>= result;
                    if (result == numericFormulaResult)
                        return cell->getValue();
                    return std::nullopt;
                }
                default:
                    return std::nullopt;
                }
            });
    });
}

void LibreOfficeSpreadsheet::exportPdf(int number, const QString& path)
{
    watched([&] { exportFirstSheetPdf(workbook(number), path); });
}

void LibreOfficeSpreadsheet::exportRangePdf(int number, const QString& path, bool gridlines)
{
    watched([&] {
        const auto model = workbook(number);
        ::exportRangePdf(model, activeSheet(model), usedAreaOf(number), path, gridlines);
    });
}
