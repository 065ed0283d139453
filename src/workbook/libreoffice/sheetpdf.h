#pragma once

#include <QString>
#include <com/sun/star/frame/XModel.hpp>

// Writes the workbook's first sheet as a PDF file at path, replacing what is there: drawn by the
// office as it prints the sheet, with the sheet's own page set-up, as text and lines rather than
// a picture. The other sheets are left out. Throws AppError when the office cannot.
void exportFirstSheetPdf(
    const css::uno::Reference<css::frame::XModel>& workbook, const QString& path);
