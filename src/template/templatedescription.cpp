#include "templatedescription.h"

namespace NumberFormat {
const QString Amount = QStringLiteral(R"fmt(_(* #,##0_);_(* \(#,##0\);_(* "-"??_);_(@_))fmt");
const QString Rate = QStringLiteral("0.0%");
const QString FineRate = QStringLiteral("0.00%");
const QString Share = QStringLiteral("0%");
const QString RunDate = QStringLiteral(R"fmt([$-409]dd\-mmm\-yy;@)fmt");
const QString ShortDate = QStringLiteral("m/d/yyyy");
const QString WholeNumber = QStringLiteral("0");
const QString Dollars = QStringLiteral(R"fmt("$"#,##0.00_);[Red]\("$"#,##0.00\))fmt");
} // namespace NumberFormat

CellDescription& CellDescription::withFormat(const QString& numberFormat)
{
    format = numberFormat;
    return *this;
}

CellDescription& CellDescription::withFill(CellFill cellFill)
{
    fill = cellFill;
    return *this;
}

CellDescription& CellDescription::bold()
{
    font = FontStyle::Bold;
    return *this;
}

CellDescription& CellDescription::boldItalic()
{
    font = FontStyle::BoldItalic;
    return *this;
}

CellDescription& CellDescription::centred()
{
    alignment = Alignment::Centred;
    return *this;
}

CellDescription& CellDescription::rightAligned()
{
    alignment = Alignment::Right;
    return *this;
}

CellDescription blankCell(const QString& address)
{
    CellDescription cell;
    cell.address = address;
    return cell;
}

CellDescription textCell(const QString& address, const QString& text)
{
    CellDescription cell = blankCell(address);
    cell.kind = CellDescription::Kind::Text;
    cell.text = text;
    return cell;
}

CellDescription numberCell(const QString& address, double number)
{
    CellDescription cell = blankCell(address);
    cell.kind = CellDescription::Kind::Number;
    cell.number = number;
    return cell;
}

CellDescription dateCell(const QString& address, const QDate& date)
{
    CellDescription cell = blankCell(address);
    cell.kind = CellDescription::Kind::Date;
    cell.date = date;
    return cell;
}

CellDescription formulaCell(const QString& address, const QString& formula)
{
    CellDescription cell = blankCell(address);
    cell.kind = CellDescription::Kind::Formula;
    cell.text = formula;
    return cell;
}

TemplateDescription retirementTemplate()
{
    TemplateDescription description;
    description.sheets = { estimateSheet(), savingsGoalSheet() };
    description.defaultFontName = QStringLiteral("Arial");
    description.defaultFontHeight = 10;
    return description;
}
