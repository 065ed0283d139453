#include "cellmap.h"

namespace CellMap {

namespace {

constexpr int columnD = 4;
constexpr int columnI = 9;
constexpr int columnL = 12;
constexpr int columnM = 13;

using Source = CellMapRow::Source;

} // namespace

const QVector<CellMapRow>& rows()
{
    static const QVector<CellMapRow> map {
        { 114, Source::Field, QStringLiteral("txtIncome"), 0, 7, 4, columnD, false },
        { 124, Source::Field, QStringLiteral("txtExpense"), 0, 61, 15, columnD, true },
        { 134, Source::Field, QStringLiteral("txtSavings"), 0, 16, 39, columnI, false },
        { 138, Source::Today, QString(), 0, 1, 1, columnI, false },
        { 140, Source::Picker, QStringLiteral("dtHusbandDOB"), 0, 1, 3, columnI, false },
        { 142, Source::Picker, QStringLiteral("dtWifeDOB"), 0, 1, 4, columnI, false },
        { 148, Source::Field, QStringLiteral("txtOther"), 0, 14, 6, columnI, true },
        { 154, Source::Field, QStringLiteral("txtRetirementIncome"), 0, 1, 16, columnL, false },
        { 156, Source::Field, QStringLiteral("txtRetirementIncome"), 1, 1, 17, columnL, false },
        { 158, Source::Field, QStringLiteral("txtRetirementIncome"), 2, 1, 18, columnM, false },
        { 160, Source::Field, QStringLiteral("txtRetirementIncome"), 3, 1, 19, columnM, false },
    };
    return map;
}

bool isPlaceholder(const QString& text)
{
    // Only spaces are trimmed: a tab or line break keeps the text from being a placeholder.
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == QLatin1Char(' '))
        ++first;
    while (last > first && text.at(last - 1) == QLatin1Char(' '))
        --last;
    return QStringView(text).mid(first, last - first) == placeholderText;
}

} // namespace CellMap
