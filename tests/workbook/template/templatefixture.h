#pragma once

#include "workbook/libreoffice/officeinstance.h"

#include <QString>
#include <QTemporaryDir>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <memory>

// The embedded template written to a private folder, and a private office to open it in.
class TemplateFixture final {
public:
    // Throws AppError when the program carries no template or no office starts.
    TemplateFixture();
    ~TemplateFixture();

    QString templatePath() const { return mTemplatePath; }
    QString folder() const { return mFolder.path(); }
    OfficeInstance& office() { return *mOffice; }

    // asTemplate: an untitled copy as the generation run gets it; otherwise the file itself,
    // read-only.
    css::uno::Reference<css::sheet::XSpreadsheetDocument> open(bool asTemplate);
    void close();
    css::uno::Reference<css::sheet::XSpreadsheetDocument> document() const { return mDocument; }

    css::uno::Reference<css::sheet::XSpreadsheet> sheet(int index);
    css::uno::Reference<css::table::XCell> cell(int sheetIndex, const QString& address);

private:
    QTemporaryDir mFolder;
    QString mTemplatePath;
    std::unique_ptr<OfficeInstance> mOffice;
    css::uno::Reference<css::sheet::XSpreadsheetDocument> mDocument;
};
