#include "form1fixture.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDateEdit>
#include <QHelpEvent>
#include <QPushButton>
#include <QToolTip>
#include <set>

using namespace Form1Fixture;
using FieldCatalogue::Group;

namespace {

// A passage of the template's comment that guides which fields, line breaks included, and the
// words that say what each takes.
struct Expected {
    Group group;
    std::set<int> indices; // empty: the whole group
    QString guidance;
    QString figure;
};

const std::vector<Expected>& expectations()
{
    static const QString incomeAndExpenses
        = QStringLiteral("Enter the elements of your current income and expenses.");
    static const QString birth = QStringLiteral("Enter dates of birth here.");
    static const QString social
        = QStringLiteral("Enter your estimated social security income as reported to you");
    static const std::vector<Expected> table {
        { Group::Income, {}, incomeAndExpenses, "monthly amount" },
        { Group::Expense, {}, incomeAndExpenses, "monthly amount" },
        { Group::HusbandDOB, {}, birth, "Type the date as it is shown, such as 04-Nov-1965" },
        { Group::WifeDOB, {}, birth, "Space empties the date or brings it back." },
        { Group::Other, { 0, 1 },
            "Average returns over the last: \n100 years - 5.16%\n50 years - 7.12%",
            "rate in percent" },
        { Group::Other, { 2 }, "Average inflation over the last (2006 data): \n100 years - 3.19%",
            "rate in percent" },
        { Group::Other, { 5 },
            "Estimate of how your retirement spending will compare to your pre-retirement",
            "share of today's expenses in percent" },
        { Group::Other, { 8, 9 }, "Enter the age you anticipate retiring.", "age in years" },
        { Group::Other, { 12, 13 }, "Enter the age you hope to live to.", "age in years" },
        { Group::Savings, {}, "Enter values of your current savings.", "balance" },
        { Group::RetirementIncome, { 0, 1 }, social, "monthly amount" },
        { Group::RetirementIncome, { 2, 3 }, social, "yearly amount" },
    };
    return table;
}

const Expected* expectationFor(Group group, int index)
{
    for (const Expected& expected : expectations()) {
        if (expected.group == group && (expected.indices.empty() || expected.indices.count(index)))
            return &expected;
    }
    return nullptr;
}

QString accessibleText(QWidget* widget, QAccessible::Text text)
{
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    return accessible ? accessible->text(text) : QString();
}

// The tooltip that hovering shows: the widget's own, or its nearest parent's.
QString shownToolTip(QWidget* widget)
{
    for (; widget; widget = widget->parentWidget()) {
        if (!widget->toolTip().isEmpty())
            return widget->toolTip();
    }
    return QString();
}

// The tooltip window that Qt shows, found by the name Qt gives it.
int toolTipWidth()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("qtooltip_label") && window->isVisible())
            return window->width();
    }
    return -1;
}

} // namespace

class TestForm1Accessibility : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(mHome.isValid());
        setUpProcess(mHome);
        useStoreIn(mHome.filePath("store"));
        mDialogs = std::make_unique<ScriptedDialogs>();
        mForm = shownForm();
        QVERIFY(mForm->isVisible());
    }

    void cleanupTestCase()
    {
        mForm.reset();
        mDialogs.reset();
    }

    void everyFieldSaysWhatItIs_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("label");
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            QTest::newRow(qPrintable(FieldCatalogue::settingsKey(field.group, field.index)))
                << field.group << field.index << field.label.trimmed();
        }
    }

    void everyFieldSaysWhatItIs()
    {
        QFETCH(Group, group);
        QFETCH(int, index);
        QFETCH(QString, label);
        const Expected* expected = expectationFor(group, index);
        QVERIFY(expected);
        const QString& guidance = expected->guidance;

        for (QWidget* part : focusableParts(group, index)) {
            const QString name = accessibleText(part, QAccessible::Name);
            QVERIFY2(name.contains(label), qPrintable(name));
            const QString description = accessibleText(part, QAccessible::Description);
            QVERIFY2(description.contains(expected->figure, Qt::CaseInsensitive),
                qPrintable(description));
            // Its comment, line breaks included, and no other.
            QVERIFY2(description.contains(guidance), qPrintable(description));
            for (const Expected& other : expectations()) {
                if (other.guidance != guidance)
                    QVERIFY2(!description.contains(other.guidance), qPrintable(other.guidance));
            }
            const QString toolTip = shownToolTip(part).simplified();
            for (const QString& line : guidance.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
                QVERIFY2(toolTip.contains(line.simplified()), qPrintable(line));
            // A picker says on hover too how it takes the keyboard.
            if (group == Group::HusbandDOB || group == Group::WifeDOB)
                QVERIFY2(toolTip.contains(expected->figure), qPrintable(toolTip));
        }
    }

    // Each way of naming a field, as a screen reader says it.
    void spokenNames_data()
    {
        QTest::addColumn<Group>("group");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("name");
        QTest::newRow("plain label") << Group::Income << 0 << "Wages - Husband";
        QTest::newRow("label alone, trimmed")
            << Group::Income << 6 << "Other (do not include gifts)";
        QTest::newRow("under a heading") << Group::Expense << 0 << "Auto — Fuel";
        QTest::newRow("shared label under a heading")
            << Group::Expense << 18 << "Insurance — Health";
        QTest::newRow("shared label, frame title")
            << Group::Expense << 13 << "Current Expenses — Health";
        QTest::newRow("shared label, frame title with &&")
            << Group::Savings << 15 << "Savings & Retirement Accounts — Other";
        QTest::newRow("age under a heading") << Group::Other << 8 << "Age at Retirement — FM";
        QTest::newRow("still shared, first")
            << Group::RetirementIncome << 2 << "Other Income source at Retirement — Other 1";
        QTest::newRow("still shared, second")
            << Group::RetirementIncome << 3 << "Other Income source at Retirement — Other 2";
        QTest::newRow("date picker") << Group::HusbandDOB << 0 << "Husband DOB";
    }
    void spokenNames()
    {
        QFETCH(Group, group);
        QFETCH(int, index);
        QFETCH(QString, name);
        // A picker's date edit carries its name; its check box adds to it.
        QCOMPARE(accessibleText(focusableParts(group, index).back(), QAccessible::Name), name);
    }

    // No two controls of the window share a name, so every field can be told apart by ear.
    void namesAreUniqueAcrossTheWindow()
    {
        std::set<QString> names;
        int fieldParts = 0;
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            for (QWidget* part : focusableParts(field.group, field.index)) {
                QVERIFY(names.insert(accessibleText(part, QAccessible::Name)).second);
                ++fieldParts;
            }
        }
        QCOMPARE(fieldParts, 85 + 2 * 2);
        for (QPushButton* button :
            { mForm->PushButton22, mForm->PushButton6, mForm->PushButton7 }) {
            const QString name = accessibleText(button, QAccessible::Name);
            QCOMPARE(name, button->text());
            QVERIFY(names.insert(name).second);
        }
    }

    void placeholdersStayHidden()
    {
        for (const FieldCatalogue::Slot& slot : FieldCatalogue::placeholders()) {
            QLineEdit* box = mForm->textArray(slot.group)(slot.index);
            QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(box);
            QVERIFY(accessible->state().invisible);
            QCOMPARE(box->toolTip(), QString());
            QCOMPARE(box->accessibleDescription(), QString());
        }
    }

    // The tooltip shows on hover; the first key typed into the field takes it away. One field
    // of each group: the tip takes its short fade to go.
    void typingHidesTheToolTip()
    {
        std::set<Group> tried;
        for (const FieldCatalogue::Field& field : FieldCatalogue::fields()) {
            if (!tried.insert(field.group).second)
                continue;
            QWidget* part = focusableParts(field.group, field.index).back();
            const QPoint at = part->rect().center();
            QHelpEvent hover(QEvent::ToolTip, at, part->mapToGlobal(at));
            QApplication::sendEvent(part, &hover);
            QVERIFY2(QToolTip::isVisible(), qPrintable(field.label));
            QCOMPARE(QToolTip::text(), shownToolTip(part));
            const int width = toolTipWidth();
            QVERIFY2(width > 0 && width < mForm->width(), qPrintable(field.label));
            QTest::keyClick(part, Qt::Key_End);
            QTRY_VERIFY2_WITH_TIMEOUT(!QToolTip::isVisible(), qPrintable(field.label), 2000);
        }
        QCOMPARE(int(tried.size()), 7);
    }

private:
    // What the keyboard reaches of a field: the box, or a picker's check box and date edit.
    std::vector<QWidget*> focusableParts(Group group, int index) const
    {
        if (FieldCatalogue::isTextArray(group))
            return { mForm->textArray(group)(index) };
        DatePicker* picker = mForm->picker(group);
        return { picker->checkBox(), picker->dateEdit() };
    }

    QTemporaryDir mHome;
    std::unique_ptr<ScriptedDialogs> mDialogs;
    std::unique_ptr<Form1> mForm;
};

QTEST_MAIN(TestForm1Accessibility)
#include "tst_form1accessibility.moc"
