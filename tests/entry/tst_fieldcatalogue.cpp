#include "entry/fieldcatalogue.h"

#include <QtTest>
#include <set>

using FieldCatalogue::Column;
using FieldCatalogue::Group;

class TestFieldCatalogue : public QObject {
    Q_OBJECT

private slots:
    void eightyFiveTextFieldsAndTwoPickers()
    {
        int text = 0;
        int pickers = 0;
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields())
            (FieldCatalogue::isTextArray(field.group) ? text : pickers) += 1;
        QCOMPARE(text, 85);
        QCOMPARE(pickers, 2);
    }

    void everyIndexIsAFieldOrAPlaceholder_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("visible");
        QTest::newRow("txtIncome") << Group::Income << 6 << 7;
        QTest::newRow("txtExpense") << Group::Expense << 60 << 50;
        QTest::newRow("txtOther") << Group::Other << 13 << 8;
        QTest::newRow("txtSavings") << Group::Savings << 15 << 16;
        QTest::newRow("txtRetirementIncome") << Group::RetirementIncome << 3 << 4;
    }

    void everyIndexIsAFieldOrAPlaceholder()
    {
        QFETCH(Group, group);
        QFETCH(int, last);
        QFETCH(int, visible);
        std::set<int> shown;
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            if (field.group == group) {
                QVERIFY2(!FieldCatalogue::isPlaceholder(group, field.index),
                    qPrintable(QString::number(field.index)));
                QVERIFY(shown.insert(field.index).second);
            }
        }
        QCOMPARE(int(shown.size()), visible);
        for (int index = 0; index <= last; ++index)
            QVERIFY(shown.count(index) == 1 || FieldCatalogue::isPlaceholder(group, index));
        const std::vector<int> indices = FieldCatalogue::indices(group);
        QCOMPARE(indices.front(), 0);
        QCOMPARE(indices.at(last), last);
    }

    void placeholderSlots()
    {
        const std::set<int> expense { 16, 20, 24, 40, 41, 42, 43, 44, 45, 48, 57, 528 };
        const std::set<int> other { 3, 4, 6, 7, 10, 11 };
        std::set<int> foundExpense;
        std::set<int> foundOther;
        for (const FieldCatalogue::Slot& slot : FieldCatalogue::placeholders()) {
            QVERIFY(slot.group == Group::Expense || slot.group == Group::Other);
            (slot.group == Group::Expense ? foundExpense : foundOther).insert(slot.index);
        }
        QCOMPARE(foundExpense, expense);
        QCOMPARE(foundOther, other);
        QCOMPARE(FieldCatalogue::indices(Group::Expense).back(), 528);
    }

    void tabOrderRunsFromZeroToEightySix()
    {
        std::set<int> tabs;
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields())
            QVERIFY(tabs.insert(field.tab).second);
        QCOMPARE(int(tabs.size()), 87);
        QCOMPARE(*tabs.begin(), 0);
        QCOMPARE(*tabs.rbegin(), 86);
    }

    void fieldsLieInsideTheirFrames()
    {
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            const FieldCatalogue::Frame& frame
                = FieldCatalogue::frame(FieldCatalogue::rules(field.group).frame);
            QVERIFY2(field.top > frame.top, qPrintable(field.label));
            QVERIFY2(field.top + 360 < frame.top + frame.height, qPrintable(field.label));
        }
        // The lowest content of the panel: 22035 + 360.
        int lowest = 0;
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields())
            lowest = std::max(lowest, field.top + 360);
        QCOMPARE(lowest, 22395);
    }

    void keys_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::newRow("expense 12") << Group::Expense << 12 << "txtExpense12";
        QTest::newRow("income 0") << Group::Income << 0 << "txtIncome0";
        QTest::newRow("other 5") << Group::Other << 5 << "txtOther5";
        QTest::newRow("other 13") << Group::Other << 13 << "txtOther13";
        QTest::newRow("retirement 3") << Group::RetirementIncome << 3 << "txtRetirementIncome3";
        QTest::newRow("savings 15") << Group::Savings << 15 << "txtSavings15";
        QTest::newRow("husband") << Group::HusbandDOB << 0 << "dtHusbandDOB";
        QTest::newRow("wife") << Group::WifeDOB << 0 << "dtWifeDOB";
    }

    void keys()
    {
        QFETCH(Group, group);
        QFETCH(int, index);
        QFETCH(QString, key);
        QCOMPARE(FieldCatalogue::settingsKey(group, index), key);
    }
};

QTEST_MAIN(TestFieldCatalogue)
#include "tst_fieldcatalogue.moc"
