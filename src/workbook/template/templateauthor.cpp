#include "templateauthor.h"

#include "app/apperror.h"
#include "columnwidth.h"
#include "formulagrammar.h"
#include "workbook/libreoffice/unoconvert.h"

#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNameContainer.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/lang/Locale.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XCellAddressable.hpp>
#include <com/sun/star/sheet/XSheetAnnotations.hpp>
#include <com/sun/star/sheet/XSheetAnnotationsSupplier.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableColumns.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>

#include <cmath>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

const char* const templateFilter = "MS Excel 97 Vorlage/Template";
// The office's numbering keeps the 1900 date system's serials from 1 March 1900 on.
const QDate nullDate(1899, 12, 30);
constexpr int hundredthsMmPerInch = 2540;

void setProperty(
    const Reference<beans::XPropertySet>& properties, const char* name, const uno::Any& value)
{
    properties->setPropertyValue(rtl::OUString::createFromAscii(name), value);
}

int hundredthsMm(double inches)
{
    return int(std::lround(inches * hundredthsMmPerInch));
}

sal_Int32 fillColour(CellFill fill)
{
    switch (fill) {
    case CellFill::Green:
        return 0xCCFFCC;
    case CellFill::Blue:
        return 0x99CCFF;
    case CellFill::Yellow:
        return 0xFFFF99;
    case CellFill::None:
        break;
    }
    return -1;
}

// Number formats by their format string, made once per document.
class FormatKeys {
public:
    explicit FormatKeys(const Reference<sheet::XSpreadsheetDocument>& document)
        : mFormats(
            Reference<util::XNumberFormatsSupplier>(document, UNO_QUERY_THROW)->getNumberFormats())
    {
    }

    sal_Int32 key(const QString& format)
    {
        // The office's own language (en-US, as the tool starts it): a format of any other
        // language would be saved with a language code in front.
        const lang::Locale officeLanguage;
        const rtl::OUString code = toOUString(format);
        sal_Int32 found = mFormats->queryKey(code, officeLanguage, false);
        if (found < 0)
            found = officeCall(QStringLiteral("add the number format \"%1\"").arg(format),
                [&] { return mFormats->addNew(code, officeLanguage); });
        return found;
    }

private:
    Reference<util::XNumberFormats> mFormats;
};

// Closes the document however authoring ends.
class DocumentCloser {
public:
    explicit DocumentCloser(Reference<sheet::XSpreadsheetDocument>& document)
        : mDocument(document)
    {
    }
    ~DocumentCloser()
    {
        try {
            const Reference<util::XCloseable> closeable(mDocument, uno::UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
        } catch (const uno::Exception&) {
            // The office is on its way out; quitting it ends the document as well.
        }
        mDocument.clear();
    }
    DocumentCloser(const DocumentCloser&) = delete;
    DocumentCloser& operator=(const DocumentCloser&) = delete;

private:
    Reference<sheet::XSpreadsheetDocument>& mDocument;
};

} // namespace

TemplateAuthor::TemplateAuthor(
    Reference<uno::XComponentContext> context, Reference<frame::XDesktop2> desktop)
    : mContext(std::move(context))
    , mDesktop(std::move(desktop))
{
}

void TemplateAuthor::author(const TemplateDescription& description, const QString& path)
{
    officeCall(QStringLiteral("create a new workbook"), [&] {
        uno::Sequence<beans::PropertyValue> arguments(1);
        arguments.getArray()[0] = property("Hidden", uno::Any(true));
        const Reference<frame::XComponentLoader> loader(mDesktop, UNO_QUERY_THROW);
        mDocument.set(loader->loadComponentFromURL(rtl::OUString("private:factory/scalc"),
                          rtl::OUString("_blank"), 0, arguments),
            UNO_QUERY_THROW);
    });
    DocumentCloser closer(mDocument);
    applyDocumentSettings(description);
    createSheets(description);
    for (int index = 0; index < description.sheets.size(); ++index) {
        fillSheet(index, description.sheets.at(index));
        applyPageSetup(index, description.sheets.at(index));
    }
    officeCall(QStringLiteral("calculate the template"), [&] {
        const Reference<sheet::XCalculatable> calculatable(mDocument, UNO_QUERY_THROW);
        calculatable->enableAutomaticCalculation(true);
        calculatable->calculateAll();
    });
    save(path);
}

void TemplateAuthor::applyDocumentSettings(const TemplateDescription& description)
{
    officeCall(QStringLiteral("set up the template's workbook settings"), [&] {
        const Reference<beans::XPropertySet> settings(mDocument, UNO_QUERY_THROW);
        setProperty(settings, "NullDate",
            uno::Any(util::Date(sal_uInt16(nullDate.day()), sal_uInt16(nullDate.month()),
                sal_Int16(nullDate.year()))));
        setProperty(settings, "IsIterationEnabled", uno::Any(false));
        setProperty(settings, "CalcAsShown", uno::Any(false));

        const Reference<style::XStyleFamiliesSupplier> families(mDocument, UNO_QUERY_THROW);
        const Reference<container::XNameAccess> cellStyles(
            families->getStyleFamilies()->getByName(rtl::OUString("CellStyles")), UNO_QUERY_THROW);
        const Reference<beans::XPropertySet> standard(
            cellStyles->getByName(rtl::OUString("Default")), UNO_QUERY_THROW);
        setProperty(standard, "CharFontName", uno::Any(toOUString(description.defaultFontName)));
        setProperty(standard, "CharHeight", uno::Any(float(description.defaultFontHeight)));

        // The office's default page prints the sheet name and a page number; a sheet without a
        // page set-up of its own prints neither.
        const Reference<container::XNameAccess> pageStyles(
            families->getStyleFamilies()->getByName(rtl::OUString("PageStyles")), UNO_QUERY_THROW);
        const Reference<beans::XPropertySet> page(
            pageStyles->getByName(rtl::OUString("Default")), UNO_QUERY_THROW);
        setProperty(page, "HeaderIsOn", uno::Any(false));
        setProperty(page, "FooterIsOn", uno::Any(false));
    });
}

void TemplateAuthor::createSheets(const TemplateDescription& description)
{
    officeCall(QStringLiteral("create the template's sheets"), [&] {
        const Reference<sheet::XSpreadsheets> sheets = mDocument->getSheets();
        const uno::Sequence<rtl::OUString> initial = sheets->getElementNames();
        for (int index = 0; index < description.sheets.size(); ++index)
            sheets->insertNewByName(
                toOUString(description.sheets.at(index).name), sal_Int16(index));
        for (const rtl::OUString& name : initial)
            sheets->removeByName(name);
    });
}

void TemplateAuthor::fillSheet(int index, const SheetDescription& sheet)
{
    officeCall(QStringLiteral("fill the template sheet \"%1\"").arg(sheet.name), [&] {
        const Reference<container::XIndexAccess> sheets(mDocument->getSheets(), UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> spreadsheet(
            sheets->getByIndex(index), UNO_QUERY_THROW);
        FormatKeys formats(mDocument);

        // Formats first: a formula put into a General cell takes on a format of its own that a
        // format set afterwards would not replace.
        for (const CellDescription& cell : sheet.cells) {
            const Reference<beans::XPropertySet> properties(
                spreadsheet->getCellRangeByName(toOUString(cell.address)), UNO_QUERY_THROW);
            if (!cell.format.isEmpty())
                setProperty(properties, "NumberFormat", uno::Any(formats.key(cell.format)));
            if (cell.fill != CellFill::None) {
                setProperty(properties, "CellBackColor", uno::Any(fillColour(cell.fill)));
                setProperty(properties, "IsCellBackgroundTransparent", uno::Any(false));
            }
            if (cell.font != FontStyle::Regular)
                setProperty(properties, "CharWeight", uno::Any(awt::FontWeight::BOLD));
            if (cell.font == FontStyle::BoldItalic)
                setProperty(properties, "CharPosture", uno::Any(awt::FontSlant_ITALIC));
            if (cell.alignment == Alignment::Centred)
                setProperty(properties, "HoriJustify", uno::Any(table::CellHoriJustify_CENTER));
            else if (cell.alignment == Alignment::Right)
                setProperty(properties, "HoriJustify", uno::Any(table::CellHoriJustify_RIGHT));
        }

        for (const CellDescription& cell : sheet.cells) {
            const Reference<table::XCell> target(
                spreadsheet->getCellRangeByName(toOUString(cell.address)), UNO_QUERY_THROW);
            switch (cell.kind) {
            case CellDescription::Kind::Text:
                Reference<text::XText>(target, UNO_QUERY_THROW)->setString(toOUString(cell.text));
                break;
            case CellDescription::Kind::Number:
                target->setValue(cell.number);
                break;
            case CellDescription::Kind::Date:
                target->setValue(double(nullDate.daysTo(cell.date)));
                break;
            case CellDescription::Kind::Formula:
                target->setFormula(toOUString(toApiGrammar(cell.text)));
                break;
            case CellDescription::Kind::Blank:
                break;
            }
        }

        const Reference<sheet::XSheetAnnotations> annotations
            = Reference<sheet::XSheetAnnotationsSupplier>(spreadsheet, UNO_QUERY_THROW)
                  ->getAnnotations();
        for (const CellComment& comment : sheet.comments) {
            const Reference<sheet::XCellAddressable> cell(
                spreadsheet->getCellRangeByName(toOUString(comment.address)), UNO_QUERY_THROW);
            annotations->insertNew(cell->getCellAddress(), toOUString(comment.text));
        }

        const Reference<table::XTableColumns> allColumns
            = Reference<table::XColumnRowRange>(spreadsheet, UNO_QUERY_THROW)->getColumns();
        setProperty(Reference<beans::XPropertySet>(allColumns, UNO_QUERY_THROW), "Width",
            uno::Any(sal_Int32(columnWidthHundredthsMm(sheet.defaultColumnWidth))));
        const Reference<container::XNameAccess> columns(allColumns, UNO_QUERY_THROW);
        for (const ColumnWidth& width : sheet.widths) {
            const Reference<beans::XPropertySet> column(
                columns->getByName(toOUString(width.column)), UNO_QUERY_THROW);
            setProperty(
                column, "Width", uno::Any(sal_Int32(columnWidthHundredthsMm(width.characters))));
        }
    });
}

void TemplateAuthor::applyPageSetup(int index, const SheetDescription& sheet)
{
    if (!sheet.hasPageSetup)
        return;
    officeCall(QStringLiteral("set up printing of the template sheet \"%1\"").arg(sheet.name), [&] {
        const PageSetup& page = sheet.pageSetup;
        // A page style of the sheet's own, so the other sheet keeps the default one.
        const rtl::OUString styleName = toOUString(QStringLiteral("Sheet%1Page").arg(index + 1));
        const Reference<style::XStyleFamiliesSupplier> families(mDocument, UNO_QUERY_THROW);
        const Reference<container::XNameContainer> pageStyles(
            families->getStyleFamilies()->getByName(rtl::OUString("PageStyles")), UNO_QUERY_THROW);
        const Reference<lang::XMultiServiceFactory> factory(mDocument, UNO_QUERY_THROW);
        pageStyles->insertByName(styleName,
            uno::Any(factory->createInstance(rtl::OUString("com.sun.star.style.PageStyle"))));
        const Reference<beans::XPropertySet> style(
            pageStyles->getByName(styleName), UNO_QUERY_THROW);

        const int width = page.letterPaper ? hundredthsMm(8.5) : 21000;
        const int height = page.letterPaper ? hundredthsMm(11) : 29700;
        setProperty(style, "IsLandscape", uno::Any(page.landscape));
        setProperty(style, "Width", uno::Any(sal_Int32(page.landscape ? height : width)));
        setProperty(style, "Height", uno::Any(sal_Int32(page.landscape ? width : height)));
        setProperty(style, "ScaleToPagesX", uno::Any(sal_Int16(page.pagesWide)));
        setProperty(style, "ScaleToPagesY", uno::Any(sal_Int16(page.pagesTall)));
        for (const char* margin : { "LeftMargin", "RightMargin", "TopMargin", "BottomMargin" })
            setProperty(style, margin, uno::Any(sal_Int32(hundredthsMm(page.margin))));
        setProperty(style, "HeaderIsOn", uno::Any(false));
        setProperty(style, "FooterIsOn", uno::Any(false));
        setProperty(style, "PrintGrid", uno::Any(page.printGridlines));
        setProperty(style, "PrintHeaders", uno::Any(page.printHeadings));

        const Reference<container::XIndexAccess> sheets(mDocument->getSheets(), UNO_QUERY_THROW);
        const Reference<beans::XPropertySet> target(sheets->getByIndex(index), UNO_QUERY_THROW);
        setProperty(target, "PageStyle", uno::Any(styleName));
    });
}

void TemplateAuthor::save(const QString& path)
{
    officeCall(QStringLiteral("save the template as %1").arg(path), [&] {
        // The workbook opens on the first sheet. A hidden view's cursor is not saved: the
        // authoring tool writes each sheet's cursor into the file afterwards.
        const Reference<frame::XModel> model(mDocument, UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheetView> view(
            model->getCurrentController(), uno::UNO_QUERY);
        const Reference<container::XIndexAccess> sheets(mDocument->getSheets(), UNO_QUERY_THROW);
        const Reference<sheet::XSpreadsheet> first(sheets->getByIndex(0), UNO_QUERY_THROW);
        if (view.is())
            view->setActiveSheet(first);
        uno::Sequence<beans::PropertyValue> arguments(2);
        arguments.getArray()[0]
            = property("FilterName", uno::Any(rtl::OUString::createFromAscii(templateFilter)));
        arguments.getArray()[1] = property("Overwrite", uno::Any(true));
        Reference<frame::XStorable>(mDocument, UNO_QUERY_THROW)
            ->storeToURL(fileUrl(path), arguments);
    });
}
