// Fills the built template with households, lets the office calculate it and compares the estimate
// with the closed forms of the capital model: annual figures in today's dollars, the accumulation
// period up to the earlier retirement, the payout period of the longer retirement, real rates.

#include "templatefixture.h"

#include <QtTest>
#include <cmath>
#include <com/sun/star/sheet/XCalculatable.hpp>

using namespace css;

namespace {

struct Partner {
    int age; // today; -1 for a date of birth left empty
    int retirementAge;
    int deathAge;
};

struct Household {
    const char* name;
    QVector<double> income; // monthly, rows 4 to 10
    QMap<int, double> expenses; // monthly, by row
    Partner husband;
    Partner wife;
    double investmentReturn;
    double returnInRetirement;
    double inflation;
    double share;
    double socialSecurityHusband; // monthly
    double socialSecurityWife; // monthly
    double otherIncome1; // yearly
    double otherIncome2; // yearly
    QVector<double> savings; // rows 39 to 54
};

const QMap<int, double> typicalExpenses
    = { { 15, 220 }, { 16, 95.5 }, { 19, 150 }, { 27, 640 }, { 30, 85 }, { 32, 40 }, { 36, 1450 },
          { 41, 35.25 }, { 54, 18 }, { 61, 310 }, { 64, 120 }, { 68, 95 }, { 75, 200 } };
const QVector<double> typicalSavings
    = { 3200, 12000, 0, 800, 2500, 4100, 25000, 0, 61000, 18000, 0, 42000, 9000, 0, 300, 1000 };

const QVector<Household> households = {
    { "first partner retires earlier, second lives longer in retirement",
        { 5200, 3100, 12, 40, 0, 150, 100 }, typicalExpenses, { 45, 60, 85 }, { 42, 62, 95 }, 0.07,
        0.05, 0.03, 0.9, 1800, 1250, 6000, 2400, typicalSavings },
    { "second partner retires earlier, first lives longer in retirement",
        { 4100, 4400, 0, 0, 900, 0, 0 }, typicalExpenses, { 50, 67, 95 }, { 40, 55, 80 }, 0.065,
        0.045, 0.025, 1.1, 2100, 900, 0, 12000, typicalSavings },
    { "returns equal inflation", { 6000, 0, 0, 0, 0, 0, 0 }, typicalExpenses, { 38, 65, 88 },
        { 36, 65, 90 }, 0.04, 0.04, 0.04, 0.8, 1500, 1500, 1000, 0, typicalSavings },
    { "return in retirement equals inflation", { 3000, 2500, 0, 0, 0, 0, 0 }, typicalExpenses,
        { 55, 66, 90 }, { 53, 64, 86 }, 0.07, 0.03, 0.03, 1.0, 1700, 1100, 0, 0, typicalSavings },
    { "first date of birth left empty", { 4500, 3500, 0, 0, 0, 0, 0 }, typicalExpenses,
        { -1, 67, 85 }, { 44, 67, 90 }, 0.06, 0.05, 0.03, 0.85, 1600, 1200, 500, 0,
        typicalSavings },
    { "no income", { 0, 0, 0, 0, 0, 0, 0 }, typicalExpenses, { 61, 65, 90 }, { 60, 63, 88 }, 0.05,
        0.04, 0.02, 0.7, 1900, 1300, 0, 0, typicalSavings },
};

const QDate nullDate(1899, 12, 30);

// A birthday a little after the one that makes the partner the age today.
QDate dateOfBirth(int age, const QDate& today)
{
    return today.addYears(-age).addDays(-100);
}

// "=YEAR(TODAY()-dob)-1900": the days since birth read as a date of the 1900 date system.
int ageToday(const QDate& dob, const QDate& today)
{
    const qint64 dobSerial = dob.isValid() ? nullDate.daysTo(dob) : 0;
    return nullDate.addDays(nullDate.daysTo(today) - dobSerial).year() - 1900;
}

struct Estimate {
    int ageHusband;
    int ageWife;
    double totalExpensesMonthly;
    double totalExpensesYearly;
    double totalSavings;
    double net; // M9
    double retirementExpenses; // M13
    double retirementIncome; // M20
    double shortfall; // M22
    double assetGoal; // M26
    double projectedSavings; // M30
    double assetShortfall; // M32
    double requiredSavings; // M34
    double extraIncome; // M48
};

Estimate closedForm(
    const Household& household, const QDate& husbandDob, const QDate& wifeDob, const QDate& today)
{
    Estimate result {};
    double income = 0;
    for (double each : household.income)
        income += each;
    // Federal 13.5 %, state 5 % and local 0 % of the monthly income count as expenses.
    const double taxes = 0.135 * income + 0.05 * income + 0 * income;
    double expenses = taxes;
    for (double each : household.expenses)
        expenses += each;
    result.totalExpensesMonthly = expenses;
    result.totalExpensesYearly = 12 * expenses;
    for (double each : household.savings)
        result.totalSavings += each;

    result.ageHusband = ageToday(husbandDob, today);
    result.ageWife = ageToday(wifeDob, today);
    const int accumulation = std::min(household.husband.retirementAge - result.ageHusband,
        household.wife.retirementAge - result.ageWife);
    const int payout = std::max(household.husband.deathAge - household.husband.retirementAge,
        household.wife.deathAge - household.wife.retirementAge);
    const double realBefore = household.investmentReturn - household.inflation;
    const double realAfter = household.returnInRetirement - household.inflation;

    result.net = 12 * income - result.totalExpensesYearly;
    result.retirementExpenses = result.totalExpensesYearly * household.share;
    result.retirementIncome = 12 * household.socialSecurityHusband
        + 12 * household.socialSecurityWife + household.otherIncome1 + household.otherIncome2;
    result.shortfall = result.retirementExpenses - result.retirementIncome;
    result.assetGoal = realAfter == 0 ? result.shortfall * payout
                                      : result.shortfall * (std::pow(1 + realAfter, payout) - 1)
            / realAfter / std::pow(1 + realAfter, accumulation);
    result.projectedSavings = result.totalSavings * std::pow(1 + realBefore, accumulation);
    result.assetShortfall = result.assetGoal - result.projectedSavings;
    result.requiredSavings = realBefore == 0
        ? result.assetShortfall / accumulation
        : result.assetShortfall * realBefore / (std::pow(1 + realBefore, accumulation) - 1);
    result.extraIncome = result.net - result.requiredSavings;
    return result;
}

bool close(double actual, double expected)
{
    return std::abs(actual - expected) <= 1e-9 * std::max(1.0, std::abs(expected));
}

} // namespace

class TestTemplateModel : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<TemplateFixture> mFixture;

    void set(const char* address, double value)
    {
        mFixture->cell(0, QString::fromLatin1(address))->setValue(value);
    }

    double get(const char* address)
    {
        const auto cell = mFixture->cell(0, QString::fromLatin1(address));
        if (cell->getError() != 0)
            QTest::qFail(
                qPrintable(QStringLiteral("%1 has error %2").arg(address).arg(cell->getError())),
                __FILE__, __LINE__);
        return cell->getValue();
    }

private slots:
    void initTestCase() { mFixture = std::make_unique<TemplateFixture>(); }
    void cleanupTestCase() { mFixture.reset(); }

    void estimate_data()
    {
        QTest::addColumn<int>("index");
        for (int index = 0; index < households.size(); ++index)
            QTest::newRow(households.at(index).name) << index;
    }

    void estimate()
    {
        QFETCH(int, index);
        const Household& household = households.at(index);
        const QDate today = QDate::currentDate();
        const QDate husbandDob
            = household.husband.age < 0 ? QDate() : dateOfBirth(household.husband.age, today);
        const QDate wifeDob = dateOfBirth(household.wife.age, today);

        mFixture->open(true);
        for (int row = 4; row <= 10; ++row)
            set(qPrintable(QStringLiteral("D%1").arg(row)), household.income.at(row - 4));
        for (auto each = household.expenses.begin(); each != household.expenses.end(); ++each)
            set(qPrintable(QStringLiteral("D%1").arg(each.key())), each.value());
        for (int row = 39; row <= 54; ++row)
            set(qPrintable(QStringLiteral("I%1").arg(row)), household.savings.at(row - 39));
        if (husbandDob.isValid())
            set("I3", double(nullDate.daysTo(husbandDob)));
        set("I4", double(nullDate.daysTo(wifeDob)));
        set("I6", household.investmentReturn);
        set("I7", household.returnInRetirement);
        set("I8", household.inflation);
        set("I11", household.share);
        set("I14", household.husband.retirementAge);
        set("I15", household.wife.retirementAge);
        set("I18", household.husband.deathAge);
        set("I19", household.wife.deathAge);
        set("L16", household.socialSecurityHusband);
        set("L17", household.socialSecurityWife);
        set("M18", household.otherIncome1);
        set("M19", household.otherIncome2);
        uno::Reference<sheet::XCalculatable>(mFixture->document(), uno::UNO_QUERY_THROW)
            ->calculateAll();
        if (QDate::currentDate() != today)
            QSKIP("The date changed while the sheet was calculated.");

        const Estimate expected = closedForm(household, husbandDob, wifeDob, today);
        if (household.husband.age < 0)
            QCOMPARE(expected.ageHusband, today.year() - 1900);
        else
            QCOMPARE(expected.ageHusband, household.husband.age);
        QCOMPARE(get("I22"), double(expected.ageHusband));
        QCOMPARE(get("I23"), double(expected.ageWife));
        const QVector<QPair<const char*, double>> results = {
            { "D76", expected.totalExpensesMonthly },
            { "E76", expected.totalExpensesYearly },
            { "I56", expected.totalSavings },
            { "M9", expected.net },
            { "M13", expected.retirementExpenses },
            { "M20", expected.retirementIncome },
            { "M22", expected.shortfall },
            { "M26", expected.assetGoal },
            { "M28", expected.totalSavings },
            { "M30", expected.projectedSavings },
            { "M32", expected.assetShortfall },
            { "M34", expected.requiredSavings },
            { "M39", expected.retirementExpenses },
            { "M42", expected.requiredSavings },
            { "M45", expected.net },
            { "M48", expected.extraIncome },
        };
        for (const auto& [address, value] : results) {
            const double actual = get(address);
            QVERIFY2(std::isfinite(actual) && close(actual, value),
                qPrintable(QStringLiteral("%1 is %2, expected %3")
                               .arg(address)
                               .arg(actual, 0, 'g', 15)
                               .arg(value, 0, 'g', 15)));
        }
    }
};

QTEST_GUILESS_MAIN(TestTemplateModel)
#include "tst_templatemodel.moc"
