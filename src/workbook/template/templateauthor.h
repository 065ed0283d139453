#pragma once

#include "template/templatedescription.h"

#include <QString>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

// Builds the template workbook from its description in a running office and saves it as a
// 97-2003 template. Throws AppError when the office cannot do a step.
class TemplateAuthor final {
public:
    TemplateAuthor(css::uno::Reference<css::uno::XComponentContext> context,
        css::uno::Reference<css::frame::XDesktop2> desktop);

    // Writes the workbook to the path with the office's 97-2003 template filter.
    void author(const TemplateDescription& description, const QString& path);

private:
    void applyDocumentSettings(const TemplateDescription& description);
    void createSheets(const TemplateDescription& description);
    void fillSheet(int index, const SheetDescription& sheet);
    void applyPageSetup(int index, const SheetDescription& sheet);
    void save(const QString& path);

    css::uno::Reference<css::uno::XComponentContext> mContext;
    css::uno::Reference<css::frame::XDesktop2> mDesktop;
    css::uno::Reference<css::sheet::XSpreadsheetDocument> mDocument;
};
