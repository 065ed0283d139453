#include "templatefixture.h"

#include "app/apperror.h"
#include "app/filehelpers.h"
#include "workbook/libreoffice/unoconvert.h"
#include "workbook/template/templateresource.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/table/XCellRange.hpp>
#include <com/sun/star/util/XCloseable.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

TemplateFixture::TemplateFixture()
{
    if (!mFolder.isValid())
        throw AppError(QStringLiteral("No temporary folder for the template test."));
    mTemplatePath = mFolder.filePath(QStringLiteral("template.xlt"));
    WriteBytesToFile(templateWorkbookBytes(), mTemplatePath);
    OfficeOptions options;
    options.profileBase = mFolder.filePath(QStringLiteral("profiles"));
    mOffice = std::make_unique<OfficeInstance>(options);
}

TemplateFixture::~TemplateFixture()
{
    close();
    mOffice->quit();
}

Reference<sheet::XSpreadsheetDocument> TemplateFixture::open(bool asTemplate)
{
    close();
    return officeCall(QStringLiteral("open the template"), [&] {
        uno::Sequence<beans::PropertyValue> arguments(3);
        auto* argument = arguments.getArray();
        argument[0].Name = "Hidden";
        argument[0].Value <<= true;
        argument[1].Name = "AsTemplate";
        argument[1].Value <<= asTemplate;
        argument[2].Name = "ReadOnly";
        argument[2].Value <<= !asTemplate;
        const Reference<frame::XComponentLoader> loader(mOffice->desktop(), UNO_QUERY_THROW);
        mDocument.set(loader->loadComponentFromURL(
                          fileUrl(mTemplatePath), rtl::OUString("_blank"), 0, arguments),
            UNO_QUERY_THROW);
        return mDocument;
    });
}

void TemplateFixture::close()
{
    if (!mDocument.is())
        return;
    try {
        Reference<util::XCloseable>(mDocument, UNO_QUERY_THROW)->close(true);
    } catch (const uno::Exception&) {
        // Quitting the office ends the document as well.
    }
    mDocument.clear();
}

Reference<sheet::XSpreadsheet> TemplateFixture::sheet(int index)
{
    const Reference<container::XIndexAccess> sheets(mDocument->getSheets(), UNO_QUERY_THROW);
    return Reference<sheet::XSpreadsheet>(sheets->getByIndex(index), UNO_QUERY_THROW);
}

Reference<table::XCell> TemplateFixture::cell(int sheetIndex, const QString& address)
{
    return Reference<table::XCell>(
        sheet(sheetIndex)->getCellRangeByName(toOUString(address)), UNO_QUERY_THROW);
}
