#include "sampledata.h"

#include <cmath>

namespace SampleData {

using FieldCatalogue::Group;

long long roundHalfEven(double value)
{
    const double lower = std::floor(value);
    const double fraction = value - lower;
    double result = lower;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(lower, 2.0) != 0.0))
        result = lower + 1.0;
    return static_cast<long long>(result);
}

long long ruleValue(int index, double base, double step)
{
    const double sign = index % 3 == 0 ? -1.0 : 1.0;
    return roundHalfEven(base + sign * (index / 2.0) * step);
}

std::vector<Step> steps()
{
    std::vector<Step> result;
    const auto text = [&](Group group, int index, long long value, int line) {
        if (!FieldCatalogue::isPlaceholder(group, index))
            result.push_back({ group, index, QString::number(value), QDate(), line });
    };

    result.push_back({ Group::HusbandDOB, 0, QString(), QDate(1965, 11, 4), 100 });
    result.push_back({ Group::WifeDOB, 0, QString(), QDate(1966, 1, 24), 102 });
    for (int i = 0; i <= 1; ++i)
        text(Group::Income, i, roundHalfEven(3450 - (i / 2.0) * 250), 106);
    for (int i = 0; i <= 60; ++i)
        text(Group::Expense, i, ruleValue(i, 110, 2.5), 110);
    for (int i = 0; i <= 5; ++i)
        text(Group::Other, i, ruleValue(i, 11, 1.5), 114);
    for (int i = 8; i <= 9; ++i)
        text(Group::Other, i, 68 - i, 118);
    for (int i = 0; i <= 15; ++i)
        text(Group::Savings, i, ruleValue(i, 1110, 1.25), 122);
    result.push_back({ Group::RetirementIncome, 0, QStringLiteral("540"), QDate(), 124 });
    result.push_back({ Group::RetirementIncome, 1, QStringLiteral("420"), QDate(), 126 });
    result.push_back({ Group::RetirementIncome, 2, QStringLiteral("630"), QDate(), 128 });
    result.push_back({ Group::RetirementIncome, 3, QStringLiteral("330"), QDate(), 130 });
    return result;
}

} // namespace SampleData
