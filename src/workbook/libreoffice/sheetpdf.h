#pragma once

#include <QString>
#include <com/sun/star/frame/XModel.hpp>

// Writes the workbook's first sheet as a PDF file at path, replacing what is there: drawn by the
// office as it prints the sheet, with the sheet's own page set-up, as text and lines rather than
// a picture. The other sheets are left out. Throws AppError when the office cannot.
void exportFirstSheetPdf(
    const css::uno::Reference<css::frame::XModel>& workbook, const QString& path);

// Writes what selection names (a sheet or a cell range of the workbook) as a PDF at the file URL,
// replacing what is there, without the cells' comments. Throws the office's exception.
void storeSelectionPdf(const css::uno::Reference<css::frame::XModel>& workbook,
    const rtl::OUString& url, const css::uno::Any& selection);
