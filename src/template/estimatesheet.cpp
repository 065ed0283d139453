#include "templatedescription.h"

// Sheet 1, "Annual dep to Retire. Savings": the household's figures and the estimate computed from
// them. Green cells take the user's figures, blue cells compute, yellow cells conclude.

using namespace NumberFormat;

namespace {

QString at(char column, int row)
{
    return QString(QLatin1Char(column)) + QString::number(row);
}

CellDescription input(char column, int row)
{
    return blankCell(at(column, row)).withFormat(Amount).green();
}

CellDescription annualised(int row)
{
    return formulaCell(at('E', row), QStringLiteral("=D%1*12").arg(row)).withFormat(Amount).blue();
}

// A line with its label in column A: "Wages - Husband", "Cash".
void line(QVector<CellDescription>& cells, int row, const QString& label)
{
    cells << textCell(at('A', row), label) << input('D', row) << annualised(row);
}

// A member of an expense group, labelled in column B under its group heading.
void member(QVector<CellDescription>& cells, int row, const QString& label)
{
    cells << textCell(at('B', row), label) << input('D', row) << annualised(row);
}

// A group heading has no amount of its own; its row is a placeholder slot of the expense fields.
void heading(QVector<CellDescription>& cells, int row, const QString& label)
{
    cells << textCell(at('A', row), label);
}

void titleRow(QVector<CellDescription>& cells)
{
    cells << textCell("A1", "Retirement Savings").boldItalic()
          << textCell("D1", "editable").green().centred()
          << textCell("E1", "do not edit").blue().centred()
          << textCell("G1", "Estimation done on:").bold()
          << dateCell("I1", QDate(2008, 9, 25)).withFormat(RunDate).green().bold();
}

void incomeBlock(QVector<CellDescription>& cells)
{
    cells << textCell("A3", "Current Income").bold() << textCell("D3", "Monthly").bold().green()
          << textCell("E3", "Annual").bold().blue();
    line(cells, 4, "Wages - Husband");
    line(cells, 5, "Wages - Wife");
    line(cells, 6, "Interest");
    line(cells, 7, "Dividends");
    line(cells, 8, "Business Revenues");
    line(cells, 9, "Gains");
    line(cells, 10, "Other (do not include gifts)");
    cells << textCell("B11", "Total Income")
          << formulaCell("D11", "=SUM(D4:D10)").withFormat(Amount).blue()
          << formulaCell("E11", "=D11*12").withFormat(Amount).blue();
}

void taxLine(QVector<CellDescription>& cells, int row, const QString& label, double rate)
{
    cells
        << textCell(at('B', row), label) << numberCell(at('C', row), rate).withFormat(Rate).green()
        << formulaCell(at('D', row), QStringLiteral("=C%1*D11").arg(row)).withFormat(Amount).blue()
        << annualised(row);
}

// Shown for reference only: no formula uses these two rates.
void payrollTaxLine(QVector<CellDescription>& cells, int row, const QString& label, double rate)
{
    cells << textCell(at('B', row), label)
          << numberCell(at('C', row), rate).withFormat(FineRate).blue() << input('D', row)
          << annualised(row);
}

void expenseBlock(QVector<CellDescription>& cells)
{
    cells << textCell("A13", "Current Expenses").bold();
    heading(cells, 14, "Auto");
    member(cells, 15, "Fuel");
    member(cells, 16, "Insurance");
    member(cells, 17, "Service");
    member(cells, 18, "Other");
    line(cells, 19, "Cash");
    line(cells, 20, "Charity");
    line(cells, 21, "Child Care");
    line(cells, 22, "Clothing");
    line(cells, 23, "Computer");
    line(cells, 24, "Dining");
    line(cells, 25, "Entertainment");
    line(cells, 26, "Gifts Given");
    line(cells, 27, "Groceries");
    line(cells, 28, "Health");
    line(cells, 29, "Home Repair");
    line(cells, 30, "Household");
    heading(cells, 31, "Insurance");
    member(cells, 32, "Disability");
    member(cells, 33, "Health");
    member(cells, 34, "Home");
    heading(cells, 35, "Interest Expense");
    member(cells, 36, "Mortgage");
    member(cells, 37, "Student Loans");
    member(cells, 38, "Other");
    heading(cells, 39, "Medical");
    member(cells, 40, "Doctor");
    member(cells, 41, "Medicine");
    line(cells, 42, "Misc");
    line(cells, 43, "Personal Care");
    line(cells, 44, "Recreation");
    line(cells, 45, "Sched C Bank Charge");
    line(cells, 46, "Sched C Business Expenses");
    line(cells, 47, "Sched C Dues & Subscription");
    line(cells, 48, "Sched C Licenses & Permits");
    line(cells, 49, "Sched C Meals & Entertainment");
    line(cells, 50, "Sched C Office Expenses");
    line(cells, 51, "Sched C Postage & Delivery");
    line(cells, 52, "Sched C Printing & Reproduction");
    line(cells, 53, "Sched C Trade Associations");
    line(cells, 54, "Subscriptions");
    heading(cells, 55, "Tax");
    taxLine(cells, 56, "Federal", 0.135);
    taxLine(cells, 57, "State", 0.05);
    taxLine(cells, 58, "Local", 0);
    payrollTaxLine(cells, 59, "Medicare", 0.0145);
    payrollTaxLine(cells, 60, "Social Security", 0.062);
    member(cells, 61, "Real Estate");
    member(cells, 62, "Other");
    heading(cells, 63, "Utilities");
    member(cells, 64, "Cell Phone");
    member(cells, 65, "Local");
    member(cells, 66, "Long Distance");
    member(cells, 67, "Gas");
    member(cells, 68, "Electric");
    member(cells, 69, "Water");
    member(cells, 70, "Sewer");
    member(cells, 71, "Internet");
    heading(cells, 72, "Vacation");
    member(cells, 73, "Lodging");
    member(cells, 74, "Travel");
    member(cells, 75, "Other");
    cells << textCell("B76", "Total Expenses")
          << formulaCell("D76", "=SUM(D15:D75)").withFormat(Amount).blue()
          << formulaCell("E76", "=SUM(E15:E75)").withFormat(Amount).blue();
    cells << textCell("B78", "Net Income (loss)")
          << formulaCell("D78", "=D11-D76").withFormat(Amount).blue()
          << formulaCell("E78", "=E11-E76").withFormat(Amount).blue();
    // Nothing is written below the net income row; this formatted blank keeps the sheet's stored
    // dimensions at rows 1 to 79 as the estimate picture expects.
    cells << blankCell("E79").withFormat(Amount);
}

void personalBlock(QVector<CellDescription>& cells)
{
    cells << textCell("G3", "Husband DOB") << blankCell("I3").withFormat(ShortDate).green()
          << textCell("G4", "Wife DOB") << blankCell("I4").withFormat(ShortDate).green()
          << blankCell("I5").withFormat(ShortDate);
    cells << textCell("G6", "investment return") << blankCell("I6").withFormat(Rate).green()
          << textCell("G7", "inv return in retirement") << blankCell("I7").withFormat(Rate).green()
          << textCell("G8", "inflation") << blankCell("I8").withFormat(Rate).green()
          << blankCell("I9").withFormat(FineRate);
    cells << textCell("G10", "% of today's ") << textCell("G11", "expenses in retirement")
          << blankCell("I11").withFormat(Share).green();
    cells << textCell("G13", "Age at Retirement") << textCell("G14", "FM")
          << blankCell("I14").green() << textCell("G15", "LW") << blankCell("I15").green();
    cells << textCell("G17", "Age at Death") << textCell("G18", "FM") << blankCell("I18").green()
          << textCell("G19", "LW") << blankCell("I19").green();
    cells << textCell("G21", "Age today") << blankCell("I21").withFormat(ShortDate)
          << textCell("G22", "FM")
          << formulaCell("I22", "=YEAR(TODAY()-I3)-1900").withFormat(WholeNumber).blue()
          << textCell("G23", "LW")
          << formulaCell("I23", "=YEAR(TODAY()-I4)-1900").withFormat(WholeNumber).blue()
          << blankCell("I24").withFormat(WholeNumber);
    cells << textCell("G25", "Years to Retire") << textCell("G26", "FM")
          << formulaCell("I26", "=I14-I22").withFormat(WholeNumber).blue() << textCell("G27", "LW")
          << formulaCell("I27", "=I15-I23").withFormat(WholeNumber).blue();
    cells << textCell("G29", "Years in Retirement") << textCell("G30", "FM")
          << formulaCell("I30", "=I18-I14").blue() << textCell("G31", "LW")
          << formulaCell("I31", "=I19-I15").blue();
    cells << textCell("G33", "Years to Death") << textCell("G34", "FM")
          << formulaCell("I34", "=I18-I22").withFormat(WholeNumber).blue() << textCell("G35", "LW")
          << formulaCell("I35", "=I19-I23").withFormat(WholeNumber).blue();
}

void savingsBlock(QVector<CellDescription>& cells)
{
    cells << textCell("G38", "Savings & Retirement Accounts").bold();
    // G43 stays unlabelled; its balance is the "Bank C Checking" account all the same.
    const QStringList labels = { "Bank A Checking", "Bank A Savings", "Bank B Checking",
        "Bank B Savings", QString(), "Bank C savings", "Broker A", "Broker B", "Rollover IRA",
        "Roth IRA", "SEP IRA", "403(b)", "Traditional IRA", "Pension", "Flex spending", "Other" };
    for (int index = 0; index < labels.size(); ++index) {
        const int row = 39 + index;
        if (!labels.at(index).isEmpty())
            cells << textCell(at('G', row), labels.at(index));
        cells << input('I', row);
    }
    cells << textCell("G56", "Total Savings")
          << formulaCell("I56", "=SUM(I39:I54)").withFormat(Amount).blue();
}

CellDescription result(const QString& address, const QString& formula)
{
    return formulaCell(address, formula).withFormat(Amount);
}

void summaryBlock(QVector<CellDescription>& cells)
{
    cells << textCell("K3", "Income / Expense in today's Dollars").bold()
          << textCell("K4", "(annual numbers)").bold();
    cells << textCell("K6", "Income") << result("M6", "=E11").blue() << textCell("K7", "Expense")
          << result("M7", "=E76").blue() << textCell("K9", "Net income (loss)")
          << result("M9", "=M6-M7").bold().blue()
          << textCell("M10", "^ Potential net effect on savings ^").bold().rightAligned();
    cells << textCell("K12", "Retirement expenses in today's dollars").bold()
          << formulaCell("K13", "=I11").withFormat(Share) << textCell("L13", "of total expenses")
          << result("M13", "=M7*I11").blue();
    cells << textCell("K15", "Retirement Income in today's dollars").bold()
          << textCell("K16", "Social Sec. - Husband") << input('L', 16)
          << result("M16", "=L16*12").blue() << textCell("K17", "Social Sec. - Wife")
          << input('L', 17) << result("M17", "=L17*12").blue() << textCell("K18", "Other")
          << blankCell("M18").withFormat(Amount) << textCell("K19", "Other")
          << blankCell("M19").withFormat(Amount) << textCell("L20", "Total Ret. Income")
          << result("M20", "=SUM(M16:M19)").blue();
    cells << textCell("K22", "Retirement income shortfall").bold()
          << result("M22", "=M13-M20").blue();
    cells << textCell("K24", "Standard Calculation").bold().blue() << blankCell("M24").blue();
    cells << textCell("K26", "Asset Value Goal at Retirement")
          << result("M26", "=PV(I7-I8,IF(I27<I26,I27,I26),,FV(I7-I8,IF(I31>I30,I31,I30),M22))")
          << textCell("K28", "Total Savings today") << result("M28", "=I56")
          << textCell("K30", "Proj. Value of Savings at retirement")
          << result("M30", "=-FV(I6-I8,IF(I27<I26,I27,I26),,M28)")
          << textCell("K32", "Asset Value Shortfall at Retirement") << result("M32", "=M26-M30")
          << textCell("K34", "Required Annual Retirement Savings").bold()
          << result("M34", "=-PMT(I6-I8,IF(I27<I26,I27,I26),,M32)").bold().yellow();
}

void conclusionBlock(QVector<CellDescription>& cells)
{
    cells << textCell("K37", "Conclusions:").bold().blue();
    cells << textCell("K39", "-Your estimated annual retirement expenses:")
          << result("M39", "=M13").yellow();
    cells << textCell("K41", "-The estimated annual savings needed now to")
          << blankCell("M41").yellow()
          << textCell("K42", "create the necessary savings for retirement:")
          << result("M42", "=M34").yellow();
    cells << textCell("K44", "-The amount of current annual income") << blankCell("M44").yellow()
          << textCell("K45", "after cost of living available for savings:")
          << result("M45", "=M9").yellow();
    cells << textCell("K47", "-Extra income available after first saving ")
          << blankCell("M47").yellow() << textCell("K48", "for your retirement")
          << result("M48", "=M45-M42").yellow();
    const QStringList note = { "Note: a positive number indicates you have extra money ",
        "available to spend today AFTER first saving enough money",
        "for your retirement.  A negative number means you need ",
        "to save more today to fully fund your retirement; so, you",
        "can 1) cut some of your costs now and put that savings ",
        "toward your retirement, 2) you will need to find additional",
        "sources of income for additional savings, or 3) choose to  ",
        "have less savings available to you in your retirement." };
    for (int index = 0; index < note.size(); ++index)
        cells << textCell(at('K', 50 + index), note.at(index));
    // Formatted blanks that carry the used range out to column O.
    cells << blankCell("O26").withFormat(Dollars) << blankCell("O27").withFormat(Dollars);
}

QVector<CellComment> comments()
{
    return {
        { "B3",
            "Enter the elements of your current income and expenses.  There is much detail here "
            "so don't think you have to fill in every line.  However, the Total Income and Expense "
            "should be reasonably accurate to represent your true monthly income and expense.  Use "
            "the line items to consider what kinds of expenses you have in life.\n\nEnter data "
            "only in the GREEN cells.  Do not edit the BLUE cells or the boxes with clue titles." },
        { "H3",
            "Enter dates of birth here.  If calculating for a single person, enter the same "
            "birthdate in both fields." },
        { "H6",
            "Average returns over the last: \n100 years - 5.16%\n50 years - 7.12%\n30 years - "
            "9.21%\n20 years - 9.37%" },
        { "H8",
            "Average inflation over the last (2006 data): \n100 years - 3.19%\n50 years - "
            "4.09%\n30 years - 4.30%\n20 years - 3.09%" },
        { "H11",
            "Estimate of how your retirement spending will compare to your pre-retirement "
            "spending.  Some groups in the past recommended that you might spend 80% of your "
            "current expenses in retirement.  This was because you would not have child college "
            "costs and other expenses in retirement.  \n\nSome groups now suggest that with "
            "increases in health care, long term care, and other costs, retirement won't "
            "necessarily be cheaper than pre-retirement.  Use this field to make your % estimate "
            "of how much of your current spending will be spent in retirement.\n\nRecommended "
            "range for this cell: 80% - 120%" },
        { "H14",
            "Enter the age you anticipate retiring.  Current social security retirement age is 67 "
            "for most people." },
        { "H18", "Enter the age you hope to live to." },
        { "I38",
            "Enter values of your current savings.  If any of your savings is committed to other "
            "purchases, such as college costs, new cars or boats, etc. do not include that here." },
        { "L16",
            "Enter your estimated social security income as reported to you in your annual SS "
            "statement.  Also enter any other income sources you expect to have in retirement." },
        { "C56", "Estimate your tax rates here." },
    };
}

} // namespace

SheetDescription estimateSheet()
{
    SheetDescription sheet;
    sheet.name = QStringLiteral("Annual dep to Retire. Savings");
    titleRow(sheet.cells);
    incomeBlock(sheet.cells);
    expenseBlock(sheet.cells);
    personalBlock(sheet.cells);
    savingsBlock(sheet.cells);
    summaryBlock(sheet.cells);
    conclusionBlock(sheet.cells);
    sheet.comments = comments();
    sheet.widths = { { "A", 4.43 }, { "B", 23.57 }, { "C", 6.29 }, { "D", 9.29 }, { "E", 11.29 },
        { "F", 3.00 }, { "G", 16.14 }, { "H", 5.00 }, { "I", 12.43 }, { "J", 2.57 }, { "K", 17.86 },
        { "L", 20.29 }, { "M", 12.29 }, { "O", 14.00 } };
    sheet.hasPageSetup = true;
    sheet.zoomPercent = 93;
    // D4, the first input, as every result is saved.
    sheet.cursorRow = 3;
    sheet.cursorColumn = 3;
    return sheet;
}
