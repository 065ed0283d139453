#include "officestartafterpaint.h"

#include "app/firstpaint.h"
#include "spreadsheetoffice.h"

void releaseOfficeStartAfterFirstPaint(QWidget& window, SpreadsheetOffice& office)
{
    afterFirstPaint(window, [&office] { office.releaseStart(); });
}
