#include "planfields.h"

#include "app/apperror.h"
#include "entry/fieldcatalogue.h"
#include "entry/storeddate.h"

#include <algorithm>
#include <array>

namespace {

using FieldCatalogue::Group;

constexpr std::array allGroups { Group::Income, Group::Expense, Group::Other, Group::Savings,
    Group::RetirementIncome, Group::HusbandDOB, Group::WifeDOB };

std::optional<Group> groupNamed(const QString& name)
{
    for (const Group group : allGroups) {
        if (FieldCatalogue::controlName(group) == name)
            return group;
    }
    return std::nullopt;
}

} // namespace

PlanFields::PlanFields(QHash<QString, QString> inputs)
    : mInputs(std::move(inputs))
{
}

QString PlanFields::fieldText(const QString& array, int index) const
{
    const std::optional<Group> group = groupNamed(array);
    const auto missing = [&] {
        return AppError(QStringLiteral("There is no field %1(%2).").arg(array).arg(index));
    };
    if (!group || !FieldCatalogue::isTextArray(*group))
        throw missing();
    if (FieldCatalogue::isPlaceholder(*group, index))
        return FieldCatalogue::placeholderText;
    const std::vector<int> indices = FieldCatalogue::indices(*group);
    if (std::find(indices.begin(), indices.end(), index) == indices.end())
        throw missing();
    const QString text = mInputs.value(FieldCatalogue::settingsKey(*group, index));
    return text.isEmpty() ? QStringLiteral("0") : text;
}

std::optional<QDate> PlanFields::pickerValue(const QString& picker) const
{
    const std::optional<Group> group = groupNamed(picker);
    if (!group || FieldCatalogue::isTextArray(*group))
        throw AppError(QStringLiteral("There is no date picker %1.").arg(picker));
    return StoredDate::fromText(mInputs.value(FieldCatalogue::settingsKey(*group, 0)));
}
