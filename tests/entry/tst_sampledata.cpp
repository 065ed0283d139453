#include "entry/sampledata.h"

#include <QtTest>
#include <map>

using FieldCatalogue::Group;

class TestSampleData : public QObject {
    Q_OBJECT

private slots:
    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<qlonglong>("rounded");
        QTest::newRow("112.5 down to even") << 112.5 << 112LL;
        QTest::newRow("127.5 up to even") << 127.5 << 128LL;
        QTest::newRow("0.5") << 0.5 << 0LL;
        QTest::newRow("1.5") << 1.5 << 2LL;
        QTest::newRow("below half") << 106.25 << 106LL;
        QTest::newRow("above half") << 183.75 << 184LL;
        QTest::newRow("negative half") << -2.5 << -2LL;
        QTest::newRow("negative above half") << -3.75 << -4LL;
        QTest::newRow("whole") << 35.0 << 35LL;
    }

    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(qlonglong, rounded);
        QCOMPARE(SampleData::roundHalfEven(value), rounded);
    }

    void values_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("text");
        const auto row = [](Group group, int index, const char* text) {
            QTest::addRow("%d/%d", int(group), index) << group << index << QString(text);
        };
        row(Group::Income, 0, "3450");
        row(Group::Income, 1, "3325");
        const std::map<int, const char*> expenses { { 0, "110" }, { 1, "111" }, { 2, "112" },
            { 3, "106" }, { 4, "115" }, { 5, "116" }, { 6, "102" }, { 10, "122" }, { 14, "128" },
            { 15, "91" }, { 59, "184" }, { 60, "35" } };
        for (const auto& [index, text] : expenses)
            row(Group::Expense, index, text);
        const std::map<int, const char*> others { { 0, "11" }, { 1, "12" }, { 2, "12" },
            { 5, "15" }, { 8, "60" }, { 9, "59" } };
        for (const auto& [index, text] : others)
            row(Group::Other, index, text);
        const char* savings[] = { "1110", "1111", "1111", "1108", "1112", "1113", "1106", "1114",
            "1115", "1104", "1116", "1117", "1102", "1118", "1119", "1101" };
        for (int index = 0; index < 16; ++index)
            row(Group::Savings, index, savings[index]);
        row(Group::RetirementIncome, 0, "540");
        row(Group::RetirementIncome, 1, "420");
        row(Group::RetirementIncome, 2, "630");
        row(Group::RetirementIncome, 3, "330");
    }

    void values()
    {
        QFETCH(Group, group);
        QFETCH(int, index);
        QFETCH(QString, text);
        int found = 0;
        for (const SampleData::Step& step : SampleData::steps()) {
            if (step.group == group && step.index == index) {
                ++found;
                QCOMPARE(step.text, text);
            }
        }
        QCOMPARE(found, 1);
    }

    void datesComeFirst()
    {
        const auto steps = SampleData::steps();
        QCOMPARE(steps.at(0).group, Group::HusbandDOB);
        QCOMPARE(steps.at(0).date, QDate(1965, 11, 4));
        QCOMPARE(steps.at(0).line, 100);
        QCOMPARE(steps.at(1).group, Group::WifeDOB);
        QCOMPARE(steps.at(1).date, QDate(1966, 1, 24));
        QCOMPARE(steps.at(1).line, 102);
    }

    void placeholdersAndUnnamedFieldsAreLeftAlone()
    {
        for (const SampleData::Step& step : SampleData::steps()) {
            QVERIFY(!FieldCatalogue::isPlaceholder(step.group, step.index));
            const bool unnamed = (step.group == Group::Income && step.index >= 2)
                || (step.group == Group::Other && step.index >= 12);
            QVERIFY(!unnamed);
        }
        // 2 dates, 2 incomes, 50 expenses, 6 rates and ages, 16 balances, 4 retirement incomes
        QCOMPARE(SampleData::steps().size(), std::size_t(80));
    }

    void linesFollowTheOrder()
    {
        int previous = 0;
        for (const SampleData::Step& step : SampleData::steps()) {
            QVERIFY(step.line >= previous);
            previous = step.line;
        }
        QCOMPARE(SampleData::steps().back().line, 130);
    }
};

QTEST_MAIN(TestSampleData)
#include "tst_sampledata.moc"
