#include "sheetresults.h"

#include "app/apperror.h"
#include "workbook/spreadsheetapplication.h"

#include <QRegularExpression>

namespace SheetResults {

namespace {

constexpr int firstSheet = 1;

CellPosition needPosition(const QString& address)
{
    if (const std::optional<CellPosition> position = cellPosition(address))
        return *position;
    throw AppError(QStringLiteral("%1 is no cell address.").arg(address));
}

} // namespace

const QVector<Row>& rows()
{
    // The totals' annual column (E), then the estimate's own results beside their labels.
    static const QVector<Row> table {
        { { QStringLiteral("B11") }, QStringLiteral("E11") },
        { { QStringLiteral("B76") }, QStringLiteral("E76") },
        { { QStringLiteral("K28") }, QStringLiteral("M28") },
        { { QStringLiteral("K30") }, QStringLiteral("M30") },
        { { QStringLiteral("K32") }, QStringLiteral("M32") },
        { { QStringLiteral("K34") }, QStringLiteral("M34") },
        { { QStringLiteral("K39") }, QStringLiteral("M39") },
        { { QStringLiteral("K41"), QStringLiteral("K42") }, QStringLiteral("M42") },
        { { QStringLiteral("K44"), QStringLiteral("K45") }, QStringLiteral("M45") },
        { { QStringLiteral("K47"), QStringLiteral("K48") }, QStringLiteral("M48") },
    };
    return table;
}

std::optional<CellPosition> cellPosition(const QString& address)
{
    static const QRegularExpression pattern(QStringLiteral("^([A-Z]{1,3})([1-9][0-9]{0,6})$"));
    const QRegularExpressionMatch match = pattern.match(address);
    if (!match.hasMatch())
        return std::nullopt;
    int column = 0;
    for (const QChar letter : match.captured(1))
        column = column * 26 + (letter.unicode() - u'A' + 1);
    return CellPosition { match.captured(2).toInt(), column };
}

SheetResult read(SpreadsheetApplication& app, int workbook, const Row& row)
{
    SheetResult result;
    QStringList labels;
    for (const QString& cell : row.labelCells) {
        const CellPosition position = needPosition(cell);
        // The sheet's labels may end in a space where two lines meet.
        const QString text
            = app.cellText(workbook, firstSheet, position.row, position.column).trimmed();
        if (!text.isEmpty())
            labels << text;
    }
    result.label = labels.join(QLatin1Char(' '));
    const CellPosition value = needPosition(row.valueCell);
    result.text = app.cellText(workbook, firstSheet, value.row, value.column);
    result.number = app.cellNumber(workbook, firstSheet, value.row, value.column);
    return result;
}

} // namespace SheetResults
