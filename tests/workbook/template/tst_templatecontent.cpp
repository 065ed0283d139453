// Reads the built template back through the office and compares it, cell by cell, with the
// workbook the estimate needs. The expectations are written out here on their own, not taken from
// the description the template is built from, so that a slip in either shows.

#include "templatefixture.h"
#include "workbook/libreoffice/unoconvert.h"

#include <QtTest>
#include <com/sun/star/awt/FontSlant.hpp>
#include <com/sun/star/awt/FontWeight.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/sheet/XCalculatable.hpp>
#include <com/sun/star/sheet/XSheetAnnotation.hpp>
#include <com/sun/star/sheet/XSheetAnnotationsSupplier.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/CellHoriJustify.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/util/Date.hpp>
#include <com/sun/star/util/XNumberFormats.hpp>
#include <com/sun/star/util/XNumberFormatsSupplier.hpp>
#include <com/sun/star/util/XProtectable.hpp>

using namespace css;
using uno::Reference;
using uno::UNO_QUERY_THROW;

namespace {

struct Expected {
    QString cell;
    QString content; // "" blank, "=…" formula as a user writes it, "#…" a number, else text
    QString format; // short name, see formatString()
    QString fill; // "", "green", "blue", "yellow"
    QString style; // words among "bold", "italic", "centred", "right"
};

QString formatString(const QString& name)
{
    static const QHash<QString, QString> formats = {
        { "", "General" },
        { "amount", R"(_(* #,##0_);_(* \(#,##0\);_(* "-"??_);_(@_))" },
        { "rate", "0.0%" },
        { "fine rate", "0.00%" },
        { "share", "0%" },
        { "run date", R"([$-409]dd\-mmm\-yy;@)" },
        { "short date", "m/d/yyyy" },
        { "whole number", "0" },
        { "dollars", R"("$"#,##0.00_);[Red]\("$"#,##0.00\))" },
    };
    return formats.value(name, QStringLiteral("?") + name);
}

// Literal characters may be written quoted ("-", "($"), escaped (\-) or, where the office does
// not need it, bare; the office writes keywords in capitals and may drop the en-US language code.
QString normalFormat(QString format)
{
    static const QRegularExpression quoted(QStringLiteral("\"([^\"]*)\""));
    static const QRegularExpression escaped(QStringLiteral("\\\\(.)"));
    format.remove(QStringLiteral("[$-409]"));
    format.replace(quoted, QStringLiteral("\\1"));
    format.replace(escaped, QStringLiteral("\\1"));
    return format.toUpper();
}

QString column(int index)
{
    return QString(QLatin1Char(char('A' + index)));
}

QString at(const QString& col, int row)
{
    return col + QString::number(row);
}

// Sheet 1 as the estimate needs it.
QVector<Expected> estimateSheet()
{
    QVector<Expected> cells = {
        { "A1", "Retirement Savings", "", "", "bold italic" },
        { "D1", "editable", "", "green", "centred" },
        { "E1", "do not edit", "", "blue", "centred" },
        { "G1", "Estimation done on:", "", "", "bold" },
        { "I1", "#39716", "run date", "green", "bold" },
        { "A3", "Current Income", "", "", "bold" },
        { "D3", "Monthly", "", "green", "bold" },
        { "E3", "Annual", "", "blue", "bold" },
        { "B11", "Total Income", "", "", "" },
        { "D11", "=SUM(D4:D10)", "amount", "blue", "" },
        { "E11", "=D11*12", "amount", "blue", "" },
        { "A13", "Current Expenses", "", "", "bold" },
        { "B76", "Total Expenses", "", "", "" },
        { "D76", "=SUM(D15:D75)", "amount", "blue", "" },
        { "E76", "=SUM(E15:E75)", "amount", "blue", "" },
        { "B78", "Net Income (loss)", "", "", "" },
        { "D78", "=D11-D76", "amount", "blue", "" },
        { "E78", "=E11-E76", "amount", "blue", "" },
    };
    const QStringList income = { "Wages - Husband", "Wages - Wife", "Interest", "Dividends",
        "Business Revenues", "Gains", "Other (do not include gifts)" };
    for (int index = 0; index < income.size(); ++index) {
        const int row = 4 + index;
        cells << Expected { at("A", row), income.at(index), "", "", "" }
              << Expected { at("D", row), "", "amount", "green", "" }
              << Expected { at("E", row), QStringLiteral("=D%1*12").arg(row), "amount", "blue",
                     "" };
    }

    // Expense rows: "A:" a line or group heading in column A, "B:" a group member in column B.
    // Headings without an amount are marked "heading".
    struct Line {
        int row;
        QString label;
        bool heading;
    };
    const QVector<Line> expenses = { { 14, "A:Auto", true }, { 15, "B:Fuel", false },
        { 16, "B:Insurance", false }, { 17, "B:Service", false }, { 18, "B:Other", false },
        { 19, "A:Cash", false }, { 20, "A:Charity", false }, { 21, "A:Child Care", false },
        { 22, "A:Clothing", false }, { 23, "A:Computer", false }, { 24, "A:Dining", false },
        { 25, "A:Entertainment", false }, { 26, "A:Gifts Given", false },
        { 27, "A:Groceries", false }, { 28, "A:Health", false }, { 29, "A:Home Repair", false },
        { 30, "A:Household", false }, { 31, "A:Insurance", true }, { 32, "B:Disability", false },
        { 33, "B:Health", false }, { 34, "B:Home", false }, { 35, "A:Interest Expense", true },
        { 36, "B:Mortgage", false }, { 37, "B:Student Loans", false }, { 38, "B:Other", false },
        { 39, "A:Medical", true }, { 40, "B:Doctor", false }, { 41, "B:Medicine", false },
        { 42, "A:Misc", false }, { 43, "A:Personal Care", false }, { 44, "A:Recreation", false },
        { 45, "A:Sched C Bank Charge", false }, { 46, "A:Sched C Business Expenses", false },
        { 47, "A:Sched C Dues & Subscription", false },
        { 48, "A:Sched C Licenses & Permits", false },
        { 49, "A:Sched C Meals & Entertainment", false },
        { 50, "A:Sched C Office Expenses", false }, { 51, "A:Sched C Postage & Delivery", false },
        { 52, "A:Sched C Printing & Reproduction", false },
        { 53, "A:Sched C Trade Associations", false }, { 54, "A:Subscriptions", false },
        { 55, "A:Tax", true }, { 61, "B:Real Estate", false }, { 62, "B:Other", false },
        { 63, "A:Utilities", true }, { 64, "B:Cell Phone", false }, { 65, "B:Local", false },
        { 66, "B:Long Distance", false }, { 67, "B:Gas", false }, { 68, "B:Electric", false },
        { 69, "B:Water", false }, { 70, "B:Sewer", false }, { 71, "B:Internet", false },
        { 72, "A:Vacation", true }, { 73, "B:Lodging", false }, { 74, "B:Travel", false },
        { 75, "B:Other", false } };
    for (const Line& line : expenses) {
        cells << Expected { at(line.label.left(1), line.row), line.label.mid(2), "", "", "" };
        if (line.heading)
            continue;
        cells << Expected { at("D", line.row), "", "amount", "green", "" }
              << Expected { at("E", line.row), QStringLiteral("=D%1*12").arg(line.row), "amount",
                     "blue", "" };
    }
    cells << Expected { "B56", "Federal", "", "", "" }
          << Expected { "C56", "#0.135", "rate", "green", "" }
          << Expected { "D56", "=C56*D11", "amount", "blue", "" }
          << Expected { "E56", "=D56*12", "amount", "blue", "" };
    cells << Expected { "B57", "State", "", "", "" }
          << Expected { "C57", "#0.05", "rate", "green", "" }
          << Expected { "D57", "=C57*D11", "amount", "blue", "" }
          << Expected { "E57", "=D57*12", "amount", "blue", "" };
    cells << Expected { "B58", "Local", "", "", "" }
          << Expected { "C58", "#0", "rate", "green", "" }
          << Expected { "D58", "=C58*D11", "amount", "blue", "" }
          << Expected { "E58", "=D58*12", "amount", "blue", "" };
    cells << Expected { "B59", "Medicare", "", "", "" }
          << Expected { "C59", "#0.0145", "fine rate", "blue", "" }
          << Expected { "D59", "", "amount", "green", "" }
          << Expected { "E59", "=D59*12", "amount", "blue", "" };
    cells << Expected { "B60", "Social Security", "", "", "" }
          << Expected { "C60", "#0.062", "fine rate", "blue", "" }
          << Expected { "D60", "", "amount", "green", "" }
          << Expected { "E60", "=D60*12", "amount", "blue", "" };

    // The personal block; its computed cells are blue like every computed cell of the sheet.
    cells << Expected { "G3", "Husband DOB", "", "", "" }
          << Expected { "I3", "", "short date", "green", "" }
          << Expected { "G4", "Wife DOB", "", "", "" }
          << Expected { "I4", "", "short date", "green", "" }
          << Expected { "I5", "", "short date", "", "" }
          << Expected { "G6", "investment return", "", "", "" }
          << Expected { "I6", "", "rate", "green", "" }
          << Expected { "G7", "inv return in retirement", "", "", "" }
          << Expected { "I7", "", "rate", "green", "" }
          << Expected { "G8", "inflation", "", "", "" }
          << Expected { "I8", "", "rate", "green", "" }
          << Expected { "I9", "", "fine rate", "", "" }
          << Expected { "G10", "% of today's ", "", "", "" }
          << Expected { "G11", "expenses in retirement", "", "", "" }
          << Expected { "I11", "", "share", "green", "" }
          << Expected { "G13", "Age at Retirement", "", "", "" }
          << Expected { "G14", "FM", "", "", "" } << Expected { "I14", "", "", "green", "" }
          << Expected { "G15", "LW", "", "", "" } << Expected { "I15", "", "", "green", "" }
          << Expected { "G17", "Age at Death", "", "", "" } << Expected { "G18", "FM", "", "", "" }
          << Expected { "I18", "", "", "green", "" } << Expected { "G19", "LW", "", "", "" }
          << Expected { "I19", "", "", "green", "" } << Expected { "G21", "Age today", "", "", "" }
          << Expected { "I21", "", "short date", "", "" } << Expected { "G22", "FM", "", "", "" }
          << Expected { "I22", "=YEAR(TODAY()-I3)-1900", "whole number", "blue", "" }
          << Expected { "G23", "LW", "", "", "" }
          << Expected { "I23", "=YEAR(TODAY()-I4)-1900", "whole number", "blue", "" }
          << Expected { "I24", "", "whole number", "", "" }
          << Expected { "G25", "Years to Retire", "", "", "" }
          << Expected { "G26", "FM", "", "", "" }
          << Expected { "I26", "=I14-I22", "whole number", "blue", "" }
          << Expected { "G27", "LW", "", "", "" }
          << Expected { "I27", "=I15-I23", "whole number", "blue", "" }
          << Expected { "G29", "Years in Retirement", "", "", "" }
          << Expected { "G30", "FM", "", "", "" } << Expected { "I30", "=I18-I14", "", "blue", "" }
          << Expected { "G31", "LW", "", "", "" } << Expected { "I31", "=I19-I15", "", "blue", "" }
          << Expected { "G33", "Years to Death", "", "", "" }
          << Expected { "G34", "FM", "", "", "" }
          << Expected { "I34", "=I18-I22", "whole number", "blue", "" }
          << Expected { "G35", "LW", "", "", "" }
          << Expected { "I35", "=I19-I23", "whole number", "blue", "" };

    cells << Expected { "G38", "Savings & Retirement Accounts", "", "", "bold" };
    const QStringList accounts = { "Bank A Checking", "Bank A Savings", "Bank B Checking",
        "Bank B Savings", "", "Bank C savings", "Broker A", "Broker B", "Rollover IRA", "Roth IRA",
        "SEP IRA", "403(b)", "Traditional IRA", "Pension", "Flex spending", "Other" };
    for (int index = 0; index < accounts.size(); ++index) {
        if (!accounts.at(index).isEmpty())
            cells << Expected { at("G", 39 + index), accounts.at(index), "", "", "" };
        cells << Expected { at("I", 39 + index), "", "amount", "green", "" };
    }
    cells << Expected { "G56", "Total Savings", "", "", "" }
          << Expected { "I56", "=SUM(I39:I54)", "amount", "blue", "" };

    cells << Expected { "K3", "Income / Expense in today's Dollars", "", "", "bold" }
          << Expected { "K4", "(annual numbers)", "", "", "bold" }
          << Expected { "K6", "Income", "", "", "" }
          << Expected { "M6", "=E11", "amount", "blue", "" }
          << Expected { "K7", "Expense", "", "", "" }
          << Expected { "M7", "=E76", "amount", "blue", "" }
          << Expected { "K9", "Net income (loss)", "", "", "" }
          << Expected { "M9", "=M6-M7", "amount", "blue", "bold" }
          << Expected { "M10", "^ Potential net effect on savings ^", "", "", "bold right" }
          << Expected { "K12", "Retirement expenses in today's dollars", "", "", "bold" }
          << Expected { "K13", "=I11", "share", "", "" }
          << Expected { "L13", "of total expenses", "", "", "" }
          << Expected { "M13", "=M7*I11", "amount", "blue", "" }
          << Expected { "K15", "Retirement Income in today's dollars", "", "", "bold" }
          << Expected { "K16", "Social Sec. - Husband", "", "", "" }
          << Expected { "L16", "", "amount", "green", "" }
          << Expected { "M16", "=L16*12", "amount", "blue", "" }
          << Expected { "K17", "Social Sec. - Wife", "", "", "" }
          << Expected { "L17", "", "amount", "green", "" }
          << Expected { "M17", "=L17*12", "amount", "blue", "" }
          << Expected { "K18", "Other", "", "", "" } << Expected { "M18", "", "amount", "", "" }
          << Expected { "K19", "Other", "", "", "" } << Expected { "M19", "", "amount", "", "" }
          << Expected { "L20", "Total Ret. Income", "", "", "" }
          << Expected { "M20", "=SUM(M16:M19)", "amount", "blue", "" }
          << Expected { "K22", "Retirement income shortfall", "", "", "bold" }
          << Expected { "M22", "=M13-M20", "amount", "blue", "" }
          << Expected { "K24", "Standard Calculation", "", "blue", "bold" }
          << Expected { "M24", "", "", "blue", "" }
          << Expected { "K26", "Asset Value Goal at Retirement", "", "", "" }
          << Expected { "M26", "=PV(I7-I8,IF(I27<I26,I27,I26),,FV(I7-I8,IF(I31>I30,I31,I30),M22))",
                 "amount", "", "" }
          << Expected { "K28", "Total Savings today", "", "", "" }
          << Expected { "M28", "=I56", "amount", "", "" }
          << Expected { "K30", "Proj. Value of Savings at retirement", "", "", "" }
          << Expected { "M30", "=-FV(I6-I8,IF(I27<I26,I27,I26),,M28)", "amount", "", "" }
          << Expected { "K32", "Asset Value Shortfall at Retirement", "", "", "" }
          << Expected { "M32", "=M26-M30", "amount", "", "" }
          << Expected { "K34", "Required Annual Retirement Savings", "", "", "bold" }
          << Expected { "M34", "=-PMT(I6-I8,IF(I27<I26,I27,I26),,M32)", "amount", "yellow", "bold" }
          << Expected { "K37", "Conclusions:", "", "blue", "bold" }
          << Expected { "K39", "-Your estimated annual retirement expenses:", "", "", "" }
          << Expected { "M39", "=M13", "amount", "yellow", "" }
          << Expected { "K41", "-The estimated annual savings needed now to", "", "", "" }
          << Expected { "M41", "", "", "yellow", "" }
          << Expected { "K42", "create the necessary savings for retirement:", "", "", "" }
          << Expected { "M42", "=M34", "amount", "yellow", "" }
          << Expected { "K44", "-The amount of current annual income", "", "", "" }
          << Expected { "M44", "", "", "yellow", "" }
          << Expected { "K45", "after cost of living available for savings:", "", "", "" }
          << Expected { "M45", "=M9", "amount", "yellow", "" }
          << Expected { "K47", "-Extra income available after first saving ", "", "", "" }
          << Expected { "M47", "", "", "yellow", "" }
          << Expected { "K48", "for your retirement", "", "", "" }
          << Expected { "M48", "=M45-M42", "amount", "yellow", "" };
    const QStringList note = { "Note: a positive number indicates you have extra money ",
        "available to spend today AFTER first saving enough money",
        "for your retirement.  A negative number means you need ",
        "to save more today to fully fund your retirement; so, you",
        "can 1) cut some of your costs now and put that savings ",
        "toward your retirement, 2) you will need to find additional",
        "sources of income for additional savings, or 3) choose to  ",
        "have less savings available to you in your retirement." };
    for (int index = 0; index < note.size(); ++index)
        cells << Expected { at("K", 50 + index), note.at(index), "", "", "" };
    cells << Expected { "O26", "", "dollars", "", "" } << Expected { "O27", "", "dollars", "", "" };
    return cells;
}

QVector<Expected> savingsGoalSheet()
{
    QVector<Expected> cells = {
        { "B2", "Current savings for Goal", "", "", "" },
        { "E2", "", "amount", "", "" },
        { "F2", "College Savings", "", "", "" },
        { "B3", "Investment rate of return", "", "", "" },
        { "E3", "#0.075", "share", "", "" },
        { "B4", "tax rate", "", "", "" },
        { "E4", "#0.15", "share", "", "" },
        { "B5", "First year college costs", "", "", "" },
        { "E5", "#25000", "amount", "", "" },
        { "F5", "'=", "", "", "" },
        { "G5", "=E5/(1+E6)^A30", "amount", "", "" },
        { "H5", "today's dollars", "", "", "" },
        { "B6", "General Inflation", "", "", "" },
        { "E6", "#0.035", "fine rate", "", "" },
        { "B7", "Inflation rate on college costs", "", "", "" },
        { "E7", "#0.08", "fine rate", "", "" },
        { "B8", "periodic deposit", "", "", "" },
        { "E8", "#2549.75", "amount", "", "" },
        { "F8", "'=", "", "", "" },
        { "G8", "=E8/12", "whole number", "", "" },
        { "H8", "monthly", "", "", "" },
        { "B10", "Beginning", "", "", "" },
        { "H10", "Ending", "", "", "" },
        { "B12", "=E2", "amount", "", "" },
        { "C12", "=E8", "amount", "", "" },
        { "G30", "=E5", "amount", "", "" },
        { "G31", "=G30*(1+$E$7)", "amount", "", "" },
        { "G32", "=G31*(1+$E$7)", "amount", "", "" },
        { "G33", "=G32*(1+$E$7)", "amount", "", "" },
        { "G36", "=SUM(G30:G35)", "amount", "", "" },
    };
    const QStringList headings
        = { "year", "balance", "deposit", "return", "subtotal", "taxes", "withdraw", "Balance" };
    for (int index = 0; index < headings.size(); ++index)
        cells << Expected { at(column(index), 11), headings.at(index), "", "", "" };
    for (int row = 12; row <= 34; ++row) {
        cells << Expected { at("A", row), QStringLiteral("#%1").arg(row - 11), "", "", "" };
        if (row > 12)
            cells << Expected {
                at("B", row), QStringLiteral("=H%1").arg(row - 1), "amount", "", ""
            } << Expected { at("C", row), QStringLiteral("=C%1").arg(row - 1), "amount", "", "" };
        cells << Expected { at("D", row), QStringLiteral("=(B%1+C%1)*($E$3)").arg(row), "amount",
            "", "" }
              << Expected { at("E", row), QStringLiteral("=B%1+C%1+D%1").arg(row), "amount", "",
                     "" }
              << Expected { at("F", row), QStringLiteral("=D%1*$E$4").arg(row), "amount", "", "" }
              << Expected { at("H", row), QStringLiteral("=E%1-F%1-G%1").arg(row), "amount", "",
                     "" };
    }
    return cells;
}

QString lines(const QStringList& parts)
{
    return parts.join(QLatin1Char('\n'));
}

QHash<QString, QString> estimateComments()
{
    return {
        { "B3",
            lines({ "Enter the elements of your current income and expenses.  There is much "
                    "detail here so don't think you have to fill in every line.  However, the "
                    "Total Income and Expense should be reasonably accurate to represent your true "
                    "monthly income and expense.  Use the line items to consider what kinds of "
                    "expenses you have in life.",
                "",
                "Enter data only in the GREEN cells.  Do not edit the BLUE cells or the boxes "
                "with clue titles." }) },
        { "H3",
            "Enter dates of birth here.  If calculating for a single person, enter the same "
            "birthdate in both fields." },
        { "H6",
            lines({ "Average returns over the last: ", "100 years - 5.16%", "50 years - 7.12%",
                "30 years - 9.21%", "20 years - 9.37%" }) },
        { "H8",
            lines({ "Average inflation over the last (2006 data): ", "100 years - 3.19%",
                "50 years - 4.09%", "30 years - 4.30%", "20 years - 3.09%" }) },
        { "H11",
            lines({ "Estimate of how your retirement spending will compare to your "
                    "pre-retirement spending.  Some groups in the past recommended that you might "
                    "spend 80% of your current expenses in retirement.  This was because you would "
                    "not have child college costs and other expenses in retirement.  ",
                "",
                "Some groups now suggest that with increases in health care, long term care, and "
                "other costs, retirement won't necessarily be cheaper than pre-retirement.  Use "
                "this field to make your % estimate of how much of your current spending will be "
                "spent in retirement.",
                "", "Recommended range for this cell: 80% - 120%" }) },
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

QString cellName(int columnIndex, int row)
{
    return column(columnIndex) + QString::number(row + 1);
}

uno::Any propertyOf(const Reference<uno::XInterface>& object, const char* name)
{
    return Reference<beans::XPropertySet>(object, UNO_QUERY_THROW)
        ->getPropertyValue(rtl::OUString::createFromAscii(name));
}

} // namespace

class TestTemplateContent : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TemplateFixture> mFixture;
    Reference<util::XNumberFormats> mFormats;

    QString formatOf(const Reference<table::XCell>& cell)
    {
        const sal_Int32 key = propertyOf(cell, "NumberFormat").get<sal_Int32>();
        return fromOUString(
            propertyOf(mFormats->getByKey(key), "FormatString").get<rtl::OUString>());
    }

    void checkCell(int sheetIndex, const Expected& expected)
    {
        const Reference<table::XCell> cell = mFixture->cell(sheetIndex, expected.cell);
        const QString where = QStringLiteral("sheet %1, %2").arg(sheetIndex + 1).arg(expected.cell);
        const auto type = cell->getType();
        if (expected.content.isEmpty()) {
            QVERIFY2(type == table::CellContentType_EMPTY, qPrintable(where + " is not empty"));
        } else if (expected.content.startsWith('=')) {
            QVERIFY2(type == table::CellContentType_FORMULA, qPrintable(where + " has no formula"));
            // The office writes arguments separated by ";".
            QString api = expected.content;
            api.replace(',', ';');
            QCOMPARE(fromOUString(cell->getFormula()), api);
            QVERIFY2(cell->getError() == 0, qPrintable(where + " fails to calculate"));
        } else if (expected.content.startsWith('#')) {
            QVERIFY2(type == table::CellContentType_VALUE, qPrintable(where + " has no number"));
            QCOMPARE(cell->getValue(), expected.content.mid(1).toDouble());
        } else {
            QVERIFY2(type == table::CellContentType_TEXT, qPrintable(where + " has no text"));
            const QString text
                = expected.content.startsWith('\'') ? expected.content.mid(1) : expected.content;
            QCOMPARE(
                fromOUString(Reference<text::XText>(cell, UNO_QUERY_THROW)->getString()), text);
        }

        const QString format = formatOf(cell);
        QVERIFY2(normalFormat(format) == normalFormat(formatString(expected.format)),
            qPrintable(QStringLiteral("%1 has the format %2, not %3")
                           .arg(where, format, formatString(expected.format))));
        checkDecoration(cell, where, expected.fill, expected.style);
    }

    void checkDecoration(const Reference<table::XCell>& cell, const QString& where,
        const QString& fill, const QString& style)
    {
        static const QHash<QString, sal_Int32> colours
            = { { "green", 0xCCFFCC }, { "blue", 0x99CCFF }, { "yellow", 0xFFFF99 } };
        const bool transparent = propertyOf(cell, "IsCellBackgroundTransparent").get<bool>();
        if (fill.isEmpty()) {
            QVERIFY2(transparent, qPrintable(where + " is filled"));
        } else {
            QVERIFY2(!transparent, qPrintable(where + " is not filled"));
            QCOMPARE(propertyOf(cell, "CellBackColor").get<sal_Int32>(), colours.value(fill));
        }
        const bool bold = propertyOf(cell, "CharWeight").get<float>() >= awt::FontWeight::BOLD;
        QVERIFY2(bold == style.contains("bold"), qPrintable(where + ": bold is wrong"));
        const bool italic
            = propertyOf(cell, "CharPosture").get<awt::FontSlant>() == awt::FontSlant_ITALIC;
        QVERIFY2(italic == style.contains("italic"), qPrintable(where + ": italic is wrong"));
        const auto justify = propertyOf(cell, "HoriJustify").get<table::CellHoriJustify>();
        const auto expectedJustify = style.contains("centred") ? table::CellHoriJustify_CENTER
            : style.contains("right")                          ? table::CellHoriJustify_RIGHT
                                                               : table::CellHoriJustify_STANDARD;
        QVERIFY2(justify == expectedJustify, qPrintable(where + ": alignment is wrong"));
        QCOMPARE(fromOUString(propertyOf(cell, "CharFontName").get<rtl::OUString>()),
            QStringLiteral("Arial"));
        QCOMPARE(propertyOf(cell, "CharHeight").get<float>(), 10.0f);
    }

    // Every cell of the area that the expectations do not name is empty and plain.
    void checkNothingElse(int sheetIndex, const QVector<Expected>& expected, int columns, int rows)
    {
        QSet<QString> named;
        for (const Expected& each : expected)
            named << each.cell;
        for (int row = 0; row < rows; ++row) {
            for (int col = 0; col < columns; ++col) {
                const QString name = cellName(col, row);
                if (named.contains(name))
                    continue;
                const Reference<table::XCell> cell = mFixture->cell(sheetIndex, name);
                const QString where = QStringLiteral("sheet %1, %2").arg(sheetIndex + 1).arg(name);
                QVERIFY2(cell->getType() == table::CellContentType_EMPTY,
                    qPrintable(where + " is not empty"));
                checkDecoration(cell, where, "", "");
                if (QTest::currentTestFailed())
                    return;
            }
        }
    }

private slots:
    void initTestCase()
    {
        mFixture = std::make_unique<TemplateFixture>();
        const auto document = mFixture->open(false);
        mFormats = Reference<util::XNumberFormatsSupplier>(document, UNO_QUERY_THROW)
                       ->getNumberFormats();
    }

    void cleanupTestCase() { mFixture.reset(); }

    void sheetsInOrder()
    {
        const auto names = mFixture->document()->getSheets()->getElementNames();
        QStringList found;
        for (const rtl::OUString& name : names)
            found << fromOUString(name);
        QCOMPARE(found, QStringList({ "Annual dep to Retire. Savings", "Savings Goal Template" }));
    }

    void estimateSheetCells_data()
    {
        QTest::addColumn<int>("sheet");
        QTest::addColumn<int>("index");
        const auto first = estimateSheet();
        for (int index = 0; index < first.size(); ++index)
            QTest::newRow(qPrintable("1:" + first.at(index).cell)) << 0 << index;
        const auto second = savingsGoalSheet();
        for (int index = 0; index < second.size(); ++index)
            QTest::newRow(qPrintable("2:" + second.at(index).cell)) << 1 << index;
    }

    void estimateSheetCells()
    {
        QFETCH(int, sheet);
        QFETCH(int, index);
        checkCell(sheet, (sheet == 0 ? estimateSheet() : savingsGoalSheet()).at(index));
    }

    void expectationsNameEachCellOnce()
    {
        for (const auto& cells : { estimateSheet(), savingsGoalSheet() }) {
            QSet<QString> seen;
            for (const Expected& each : cells) {
                QVERIFY2(!seen.contains(each.cell), qPrintable(each.cell + " named twice"));
                seen << each.cell;
            }
        }
    }

    void nothingElseOnTheSheets()
    {
        checkNothingElse(0, estimateSheet(), 15, 79);
        checkNothingElse(1, savingsGoalSheet(), 11, 40);
    }

    void commentsOfTheEstimateSheet()
    {
        const auto annotations
            = Reference<sheet::XSheetAnnotationsSupplier>(mFixture->sheet(0), UNO_QUERY_THROW)
                  ->getAnnotations();
        const Reference<container::XIndexAccess> all(annotations, UNO_QUERY_THROW);
        QHash<QString, QString> found;
        for (sal_Int32 index = 0; index < all->getCount(); ++index) {
            const Reference<sheet::XSheetAnnotation> note(all->getByIndex(index), UNO_QUERY_THROW);
            const auto position = note->getPosition();
            found.insert(cellName(position.Column, position.Row),
                fromOUString(Reference<text::XSimpleText>(note, UNO_QUERY_THROW)->getString()));
            QCOMPARE(fromOUString(note->getAuthor()).trimmed(), QString());
        }
        const auto expected = estimateComments();
        QCOMPARE(found.keys().size(), expected.size());
        for (auto each = expected.begin(); each != expected.end(); ++each)
            QCOMPARE(found.value(each.key()), each.value());
        const auto second
            = Reference<sheet::XSheetAnnotationsSupplier>(mFixture->sheet(1), UNO_QUERY_THROW)
                  ->getAnnotations();
        QCOMPARE(Reference<container::XIndexAccess>(second, UNO_QUERY_THROW)->getCount(), 0);
    }

    void estimateSheetPrintsOnOneLetterPage()
    {
        const auto document = mFixture->document();
        const QString styleName
            = fromOUString(propertyOf(mFixture->sheet(0), "PageStyle").get<rtl::OUString>());
        const auto families = Reference<style::XStyleFamiliesSupplier>(document, UNO_QUERY_THROW)
                                  ->getStyleFamilies();
        const Reference<container::XNameAccess> pages(
            families->getByName(rtl::OUString("PageStyles")), UNO_QUERY_THROW);
        const Reference<uno::XInterface> style(
            pages->getByName(toOUString(styleName)), UNO_QUERY_THROW);
        // Letter is 8.5 × 11 inches; a quarter inch is 635 hundredths of a millimetre.
        QVERIFY(qAbs(propertyOf(style, "Width").get<sal_Int32>() - 21590) <= 2);
        QVERIFY(qAbs(propertyOf(style, "Height").get<sal_Int32>() - 27940) <= 2);
        QCOMPARE(propertyOf(style, "IsLandscape").get<bool>(), false);
        QCOMPARE(propertyOf(style, "ScaleToPagesX").get<sal_Int16>(), sal_Int16(1));
        QCOMPARE(propertyOf(style, "ScaleToPagesY").get<sal_Int16>(), sal_Int16(1));
        for (const char* margin : { "LeftMargin", "RightMargin", "TopMargin", "BottomMargin" })
            QVERIFY2(qAbs(propertyOf(style, margin).get<sal_Int32>() - 635) <= 2, margin);
        QCOMPARE(propertyOf(style, "HeaderIsOn").get<bool>(), false);
        QCOMPARE(propertyOf(style, "FooterIsOn").get<bool>(), false);
        QCOMPARE(propertyOf(style, "PrintGrid").get<bool>(), false);
        QCOMPARE(propertyOf(style, "PrintHeaders").get<bool>(), false);
    }

    void workbookSettings()
    {
        const auto document = mFixture->document();
        const auto nullDate = propertyOf(document, "NullDate").get<util::Date>();
        QCOMPARE(QDate(nullDate.Year, nullDate.Month, nullDate.Day), QDate(1899, 12, 30));
        QCOMPARE(propertyOf(document, "IsIterationEnabled").get<bool>(), false);
        QCOMPARE(propertyOf(document, "CalcAsShown").get<bool>(), false);
        QVERIFY(Reference<sheet::XCalculatable>(document, UNO_QUERY_THROW)
                    ->isAutomaticCalculationEnabled());
        const Reference<container::XNameAccess> names(
            propertyOf(document, "NamedRanges"), UNO_QUERY_THROW);
        QCOMPARE(names->getElementNames().getLength(), 0);
        QVERIFY(!Reference<util::XProtectable>(document, UNO_QUERY_THROW)->isProtected());
        for (int index = 0; index < 2; ++index)
            QVERIFY(!Reference<util::XProtectable>(mFixture->sheet(index), UNO_QUERY_THROW)
                         ->isProtected());
        const Reference<style::XStyleFamiliesSupplier> families(document, UNO_QUERY_THROW);
        const Reference<container::XNameAccess> cellStyles(
            families->getStyleFamilies()->getByName(rtl::OUString("CellStyles")), UNO_QUERY_THROW);
        const Reference<uno::XInterface> standard(
            cellStyles->getByName(rtl::OUString("Default")), UNO_QUERY_THROW);
        QCOMPARE(fromOUString(propertyOf(standard, "CharFontName").get<rtl::OUString>()),
            QStringLiteral("Arial"));
        QCOMPARE(propertyOf(standard, "CharHeight").get<float>(), 10.0f);
    }
};

QTEST_GUILESS_MAIN(TestTemplateContent)
#include "tst_templatecontent.moc"
