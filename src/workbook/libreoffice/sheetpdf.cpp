#include "sheetpdf.h"

#include "unoconvert.h"

#include <QDir>
#include <QFileInfo>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

void exportFirstSheetPdf(const Reference<frame::XModel>& workbook, const QString& path)
{
    if (!QFileInfo(path).absoluteDir().exists())
        throw AppError(QStringLiteral("The folder of %1 does not exist.").arg(path));
    const rtl::OUString url = fileUrl(path);
    officeCall(QStringLiteral("export %1 as PDF").arg(QDir::toNativeSeparators(path)), [&] {
        const Reference<container::XIndexAccess> sheets(
            Reference<sheet::XSpreadsheetDocument>(workbook, UNO_QUERY_THROW)->getSheets(),
            UNO_QUERY_THROW);
        // A whole sheet as the selection is printed as the sheet itself: its page style, its
        // print ranges, and nothing of the other sheets.
        storeSelectionPdf(workbook, url, sheets->getByIndex(0));
    });
}

void storeSelectionPdf(
    const Reference<frame::XModel>& workbook, const rtl::OUString& url, const uno::Any& selection)
{
    // Cell comments are not printed, so they do not become the PDF's sticky notes either.
    uno::Sequence<beans::PropertyValue> filterData(2);
    filterData.getArray()[0] = property("Selection", selection);
    filterData.getArray()[1] = property("ExportNotes", uno::Any(false));
    uno::Sequence<beans::PropertyValue> arguments(3);
    arguments.getArray()[0] = property("FilterName", uno::Any(rtl::OUString("calc_pdf_Export")));
    arguments.getArray()[1] = property("FilterData", uno::Any(filterData));
    arguments.getArray()[2] = property("Overwrite", uno::Any(true));
    Reference<frame::XStorable>(workbook, UNO_QUERY_THROW)->storeToURL(url, arguments);
}
