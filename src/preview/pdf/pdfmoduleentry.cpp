#include "pdfsheetmaster.h"

extern "C" __attribute__((visibility("default"))) const PdfModule* ferrowynd_pdf_module()
{
    static const PdfModule module { PdfSheetMaster::fromPdf };
    return &module;
}
