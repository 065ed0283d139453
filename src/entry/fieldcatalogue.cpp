#include "fieldcatalogue.h"

#include "app/apperror.h"

#include <algorithm>

namespace FieldCatalogue {

namespace {

constexpr Column L = Column::Left;
constexpr Column R = Column::Right;

// The group headings, each written once: the window shows it over its fields, and a screen reader
// names every field under it by it.
constexpr const char* autoHeading = "Auto";
constexpr const char* insuranceHeading = "Insurance";
constexpr const char* interestHeading = "Interest Expense";
constexpr const char* medicalHeading = "Medical";
constexpr const char* taxHeading = "Tax";
constexpr const char* utilitiesHeading = "Utilities";
constexpr const char* vacationHeading = "Vacation";
constexpr const char* retirementAgeHeading = "Age at Retirement";
constexpr const char* deathAgeHeading = "Age at Death";
constexpr const char* otherIncomeHeading = "Other Income source at Retirement";

Field income(int index, const char* label, Column column, int top, int tab)
{
    return { Group::Income, index, QString::fromUtf8(label), QString(), column, top, tab };
}

Field expense(int index, const char* label, const char* heading, Column column, int top, int tab)
{
    return { Group::Expense, index, QString::fromUtf8(label), QString::fromUtf8(heading), column,
        top, tab };
}

Field other(int index, const char* label, const char* heading, Column column, int top, int tab,
    int left = 0)
{
    return { Group::Other, index, QString::fromUtf8(label), QString::fromUtf8(heading), column, top,
        tab, left };
}

Field savings(int index, const char* label, Column column, int top, int tab)
{
    return { Group::Savings, index, QString::fromUtf8(label), QString(), column, top, tab };
}

Field retirement(int index, const char* label, const char* heading, Column column, int top, int tab)
{
    return { Group::RetirementIncome, index, QString::fromUtf8(label), QString::fromUtf8(heading),
        column, top, tab };
}

} // namespace

const std::vector<Frame>& frames()
{
    static const std::vector<Frame> table {
        { 0, QStringLiteral("Current Income"), 0, 2355, 2220, 4815 },
        { 1, QStringLiteral("Current Expenses"), 2430, 11970, 2220, 4815 },
        { 8, QStringLiteral("Other Details"), 14505, 2700, 3720, 6390 },
        { 2, QStringLiteral("Savings && Retirement Accounts"), 17310, 3675, 3720, 6390 },
        { 3, QStringLiteral("Retirement Income in today's dollars"), 21060, 1425, 3720, 6390 },
    };
    return table;
}

const std::vector<Field>& fields()
{
    static const std::vector<Field> table {
        income(0, "Wages - Husband ", L, 555, 0),
        income(1, "Wages - Wife ", L, 945, 2),
        income(2, "Interest ", L, 1335, 4),
        income(3, "Dividends ", L, 1710, 6),
        income(4, "Business Revenues ", R, 510, 1),
        income(5, "Gains ", R, 900, 3),
        income(6, "Other (do not include gifts) ", R, 1290, 5),

        expense(0, "Fuel", autoHeading, L, 3300, 7),
        expense(1, "Insurance", autoHeading, L, 3690, 9),
        expense(2, "Service", autoHeading, L, 4080, 11),
        expense(3, "Other", autoHeading, L, 4455, 13),
        expense(4, "Cash", "", L, 4845, 15),
        expense(5, "Charity", "", L, 5235, 17),
        expense(6, "Child Care", "", L, 5625, 19),
        expense(7, "Clothing", "", L, 5985, 21),
        expense(8, "Computer", "", L, 6375, 23),
        expense(9, "Dining", "", L, 6765, 25),
        expense(10, "Entertainment", "", L, 7155, 27),
        expense(11, "Gifts Given", "", L, 7545, 29),
        expense(12, "Groceries", "", L, 7920, 31),
        expense(13, "Health", "", L, 8310, 33),
        expense(14, "Home Repair", "", L, 8700, 35),
        expense(15, "Household", "", L, 9090, 37),
        expense(17, "Disability", insuranceHeading, L, 9885, 38),
        expense(18, "Health", insuranceHeading, L, 10275, 40),
        expense(19, "Home", insuranceHeading, L, 10665, 42),
        expense(21, "Mortgage", interestHeading, L, 11430, 44),
        expense(22, "Student Loans", interestHeading, L, 11820, 46),
        expense(23, "Other", interestHeading, L, 12210, 48),
        expense(25, "Doctor", medicalHeading, L, 12945, 50),
        expense(26, "Medicine", medicalHeading, L, 13335, 52),
        expense(27, "Misc", "", R, 2970, 8),
        expense(28, "Personal Care", "", R, 3360, 10),
        expense(29, "Recreation", "", R, 3750, 12),
        expense(30, "Sched C Bank Charge", "", R, 4110, 14),
        expense(31, "Sched C Business Expenses", "", R, 4500, 16),
        expense(32, "Sched C Dues & Subscription", "", R, 4890, 18),
        expense(33, "Sched C Licenses & Permits", "", R, 5280, 20),
        expense(34, "Sched C Meals & Entertainment", "", R, 5670, 22),
        expense(35, "Sched C Office Expenses", "", R, 6045, 24),
        expense(36, "Sched C Postage & Delivery", "", R, 6435, 26),
        expense(37, "Sched C Printing & Reproduction", "", R, 6825, 28),
        expense(38, "Sched C Trade Associations", "", R, 7215, 30),
        expense(39, "Subscriptions", "", R, 7605, 32),
        expense(46, "Real Estate", taxHeading, R, 8460, 34),
        expense(47, "Other", taxHeading, R, 8850, 36),
        expense(49, "Cell Phone", utilitiesHeading, R, 9660, 39),
        expense(50, "Local", utilitiesHeading, R, 10050, 41),
        expense(51, "Long Distance", utilitiesHeading, R, 10440, 43),
        expense(52, "Gas", utilitiesHeading, R, 10830, 45),
        expense(53, "Electric", utilitiesHeading, R, 11220, 47),
        expense(54, "Water", utilitiesHeading, R, 11610, 49),
        expense(55, "Sewer", utilitiesHeading, R, 12000, 51),
        expense(56, "Internet", utilitiesHeading, R, 12390, 53),
        expense(58, "Lodging", vacationHeading, R, 13125, 54),
        expense(59, "Travel", vacationHeading, R, 13515, 55),
        expense(60, "Other", vacationHeading, R, 13905, 56),

        { Group::HusbandDOB, 0, QStringLiteral("Husband DOB"), QString(), L, 14850, 57 },
        { Group::WifeDOB, 0, QStringLiteral("Wife DOB"), QString(), L, 15240, 58 },
        other(0, "investment return (%)", "", L, 15615, 59),
        other(1, "inv return in retirement (%)", "", L, 15990, 60),
        other(2, "inflation (%)", "", L, 16365, 61),
        other(5, "% of today's expenses in retirement ", "", L, 16740, 62, 3705),
        other(8, "FM", retirementAgeHeading, R, 15210, 63),
        other(9, "LW", retirementAgeHeading, R, 15600, 64),
        other(12, "FM", deathAgeHeading, R, 16290, 65),
        other(13, "LW", deathAgeHeading, R, 16680, 66),

        savings(0, "Bank A Checking", L, 17610, 67),
        savings(1, "Bank A Savings", L, 18000, 68),
        savings(2, "Bank B Checking", L, 18390, 69),
        savings(3, "Bank B Savings", L, 18780, 70),
        savings(4, "Bank C Checking", L, 19170, 71),
        savings(5, "Bank C savings", L, 19560, 72),
        savings(6, "Broker A", L, 19965, 73),
        savings(7, "Broker B", L, 20355, 74),
        savings(8, "Rollover IRA", R, 17610, 75),
        savings(9, "Roth IRA", R, 18000, 76),
        savings(10, "SEP IRA", R, 18390, 77),
        savings(11, "403(b)", R, 18780, 78),
        savings(12, "Traditional IRA", R, 19170, 79),
        savings(13, "Pension", R, 19560, 80),
        savings(14, "Flex spending", R, 19965, 81),
        savings(15, "Other", R, 20355, 82),

        retirement(0, "Social Sec. - Husband", "", L, 21645, 83),
        retirement(1, "Social Sec. - Wife", "", L, 22035, 84),
        retirement(2, "Other", otherIncomeHeading, R, 21645, 85),
        retirement(3, "Other", otherIncomeHeading, R, 22035, 86),
    };
    return table;
}

const std::vector<Heading>& headings()
{
    static const QString monthly = QStringLiteral("Monthly");
    static const std::vector<Heading> table {
        { 0, monthly, L, 210, false },
        { 0, monthly, R, 210, false },
        { 1, monthly, L, 2640, false },
        { 1, monthly, R, 2640, false },
        { 1, QString::fromUtf8(autoHeading), L, 2910, true },
        { 1, QString::fromUtf8(insuranceHeading), L, 9495, true },
        { 1, QString::fromUtf8(interestHeading), L, 11040, true },
        { 1, QString::fromUtf8(medicalHeading), L, 12555, true },
        { 1, QString::fromUtf8(taxHeading), R, 8070, true },
        { 1, QString::fromUtf8(utilitiesHeading), R, 9270, true },
        { 1, QString::fromUtf8(vacationHeading), R, 12735, true },
        { 8, QString::fromUtf8(retirementAgeHeading), R, 14820, true },
        { 8, QString::fromUtf8(deathAgeHeading), R, 15900, true },
        { 3, monthly, L, 21330, false },
        { 3, QString::fromUtf8(otherIncomeHeading), R, 21255, true },
    };
    return table;
}

const std::vector<Slot>& placeholders()
{
    static const std::vector<Slot> table {
        { Group::Expense, 16 },
        { Group::Expense, 20 },
        { Group::Expense, 24 },
        { Group::Expense, 40 },
        { Group::Expense, 41 },
        { Group::Expense, 42 },
        { Group::Expense, 43 },
        { Group::Expense, 44 },
        { Group::Expense, 45 },
        { Group::Expense, 48 },
        { Group::Expense, 57 },
        { Group::Expense, 528 },
        { Group::Other, 3 },
        { Group::Other, 4 },
        { Group::Other, 6 },
        { Group::Other, 7 },
        { Group::Other, 10 },
        { Group::Other, 11 },
    };
    return table;
}

const Frame& frame(int index)
{
    for (const Frame& candidate : frames()) {
        if (candidate.index == index)
            return candidate;
    }
    throw AppError(QStringLiteral("Control array element '%1' doesn't exist").arg(index));
}

const GroupRules& rules(Group group)
{
    static const QString amount = QStringLiteral("Please enter a valid amount");
    static const QString amountWithStop = QStringLiteral("Please enter a valid amount.");
    static const GroupRules income { 0, false, true, true, amount };
    static const GroupRules expense { 1, true, true, true, amount };
    static const GroupRules other { 8, true, true, false,
        QStringLiteral("Please enter a valid input.") };
    static const GroupRules savings { 2, true, true, true, amountWithStop };
    static const GroupRules retirement { 3, true, true, true, amountWithStop };
    static const GroupRules picker { 8, false, false, false, QString() };
    switch (group) {
    case Group::Income:
        return income;
    case Group::Expense:
        return expense;
    case Group::Other:
        return other;
    case Group::Savings:
        return savings;
    case Group::RetirementIncome:
        return retirement;
    case Group::HusbandDOB:
    case Group::WifeDOB:
        break;
    }
    return picker;
}

const Meaning& meaning(const Field& field)
{
    static const std::vector<Meaning> table {
        { Group::Income, {}, Figure::MonthlyAmount, QStringLiteral("B3") },
        { Group::Expense, {}, Figure::MonthlyAmount, QStringLiteral("B3") },
        { Group::HusbandDOB, {}, Figure::Date, QStringLiteral("H3") },
        { Group::WifeDOB, {}, Figure::Date, QStringLiteral("H3") },
        { Group::Other, { 0, 1 }, Figure::Rate, QStringLiteral("H6") },
        { Group::Other, { 2 }, Figure::Rate, QStringLiteral("H8") },
        { Group::Other, { 5 }, Figure::Share, QStringLiteral("H11") },
        { Group::Other, { 8, 9 }, Figure::Age, QStringLiteral("H14") },
        { Group::Other, { 12, 13 }, Figure::Age, QStringLiteral("H18") },
        { Group::Savings, {}, Figure::Balance, QStringLiteral("I38") },
        { Group::RetirementIncome, { 0, 1 }, Figure::MonthlyAmount, QStringLiteral("L16") },
        { Group::RetirementIncome, { 2, 3 }, Figure::YearlyAmount, QStringLiteral("L16") },
    };
    for (const Meaning& candidate : table) {
        const auto& indices = candidate.indices;
        if (candidate.group == field.group
            && (indices.empty()
                || std::find(indices.begin(), indices.end(), field.index) != indices.end()))
            return candidate;
    }
    throw AppError(
        QStringLiteral("No meaning for %1(%2)").arg(controlName(field.group)).arg(field.index));
}

std::vector<int> indices(Group group)
{
    int last = -1;
    switch (group) {
    case Group::Income:
        last = 6;
        break;
    case Group::Expense:
        last = 60;
        break;
    case Group::Other:
        last = 13;
        break;
    case Group::Savings:
        last = 15;
        break;
    case Group::RetirementIncome:
        last = 3;
        break;
    case Group::HusbandDOB:
    case Group::WifeDOB:
        break;
    }
    std::vector<int> result;
    for (int index = 0; index <= last; ++index)
        result.push_back(index);
    // The stray element lies outside the range that anything walks.
    if (group == Group::Expense)
        result.push_back(528);
    return result;
}

bool isPlaceholder(Group group, int index)
{
    const auto& table = placeholders();
    return std::any_of(table.begin(), table.end(),
        [&](const Slot& slot) { return slot.group == group && slot.index == index; });
}

bool isTextArray(Group group)
{
    return group != Group::HusbandDOB && group != Group::WifeDOB;
}

QString controlName(Group group)
{
    switch (group) {
    case Group::Income:
        return QStringLiteral("txtIncome");
    case Group::Expense:
        return QStringLiteral("txtExpense");
    case Group::Other:
        return QStringLiteral("txtOther");
    case Group::Savings:
        return QStringLiteral("txtSavings");
    case Group::RetirementIncome:
        return QStringLiteral("txtRetirementIncome");
    case Group::HusbandDOB:
        return QStringLiteral("dtHusbandDOB");
    case Group::WifeDOB:
        return QStringLiteral("dtWifeDOB");
    }
    return QString();
}

QString settingsKey(Group group, int index)
{
    if (!isTextArray(group))
        return controlName(group);
    return controlName(group) + QString::number(index);
}

} // namespace FieldCatalogue
