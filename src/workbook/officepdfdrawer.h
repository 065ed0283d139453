#pragma once

#include "export/pdfdrawer.h"

class SpreadsheetOffice;

// The PDF of the estimate drawn in a session on the program's office: open the result workbook,
// export it, close it, quit the session.
class OfficePdfDrawer final : public PdfDrawer {
public:
    explicit OfficePdfDrawer(SpreadsheetOffice& office);

    bool drawPdf(ErrorTrap& trap, int firstLine, const QString& resultWorkbook,
        const QString& drawnPdf) override;

private:
    SpreadsheetOffice& mOffice;
};
