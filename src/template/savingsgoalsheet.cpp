#include "templatedescription.h"

// Sheet 2, "Savings Goal Template": a college-savings worksheet of its own that no figure of the
// main window reaches.

using namespace NumberFormat;

namespace {

QString at(char column, int row)
{
    return QString(QLatin1Char(column)) + QString::number(row);
}

CellDescription money(const QString& address, const QString& formula)
{
    return formulaCell(address, formula).withFormat(Amount);
}

void goalInputs(QVector<CellDescription>& cells)
{
    cells << textCell("B2", "Current savings for Goal") << blankCell("E2").withFormat(Amount)
          << textCell("F2", "College Savings");
    cells << textCell("B3", "Investment rate of return")
          << numberCell("E3", 0.075).withFormat(Share);
    cells << textCell("B4", "tax rate") << numberCell("E4", 0.15).withFormat(Share);
    cells << textCell("B5", "First year college costs")
          << numberCell("E5", 25000).withFormat(Amount) << textCell("F5", "=")
          << money("G5", "=E5/(1+E6)^A30") << textCell("H5", "today's dollars");
    cells << textCell("B6", "General Inflation") << numberCell("E6", 0.035).withFormat(FineRate);
    cells << textCell("B7", "Inflation rate on college costs")
          << numberCell("E7", 0.08).withFormat(FineRate);
    cells << textCell("B8", "periodic deposit") << numberCell("E8", 2549.75).withFormat(Amount)
          << textCell("F8", "=") << formulaCell("G8", "=E8/12").withFormat(WholeNumber)
          << textCell("H8", "monthly");
}

// One year of the plan: the balance carried over, the deposit, the taxed return and the college
// withdrawal of the year.
void planYear(QVector<CellDescription>& cells, int row)
{
    const int year = row - 11;
    cells << numberCell(at('A', row), year);
    if (row == 12)
        cells << money("B12", "=E2") << money("C12", "=E8");
    else
        cells << money(at('B', row), QStringLiteral("=H%1").arg(row - 1))
              << money(at('C', row), QStringLiteral("=C%1").arg(row - 1));
    cells << money(at('D', row), QStringLiteral("=(B%1+C%1)*($E$3)").arg(row))
          << money(at('E', row), QStringLiteral("=B%1+C%1+D%1").arg(row))
          << money(at('F', row), QStringLiteral("=D%1*$E$4").arg(row));
    if (row == 30)
        cells << money("G30", "=E5");
    else if (row > 30 && row <= 33)
        cells << money(at('G', row), QStringLiteral("=G%1*(1+$E$7)").arg(row - 1));
    else
        cells << blankCell(at('G', row)).withFormat(Amount);
    cells << money(at('H', row), QStringLiteral("=E%1-F%1-G%1").arg(row));
}

void plan(QVector<CellDescription>& cells)
{
    cells << textCell("B10", "Beginning") << textCell("H10", "Ending");
    const QStringList headings
        = { "year", "balance", "deposit", "return", "subtotal", "taxes", "withdraw", "Balance" };
    for (int index = 0; index < headings.size(); ++index)
        cells << textCell(at(char('A' + index), 11), headings.at(index));
    for (int row = 12; row <= 34; ++row)
        planYear(cells, row);
    cells << money("G36", "=SUM(G30:G35)");
}

} // namespace

SheetDescription savingsGoalSheet()
{
    SheetDescription sheet;
    sheet.name = QStringLiteral("Savings Goal Template");
    goalInputs(sheet.cells);
    plan(sheet.cells);
    sheet.widths = { { "A", 4.57 }, { "B", 9.29 }, { "C", 9.29 }, { "D", 9.29 }, { "E", 9.71 },
        { "F", 9.29 }, { "G", 9.29 }, { "H", 9.29 }, { "K", 9.29 } };
    return sheet;
}
