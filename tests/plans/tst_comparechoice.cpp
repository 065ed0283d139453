#include "plans/comparechoice.h"
#include "plans/planfile.h"
#include "scripteddialogs.h"

#include <QtTest>

// Choosing the plans of a comparison through the dialog seam: 2 to 6 plans, the current fields
// one of them on request, and a refused plan file stops the comparison before anything runs.
class TestCompareChoice : public QObject {
    Q_OBJECT

    QTemporaryDir mFolder;

    QString planFile(const QString& name, const QString& text) const
    {
        const QString path = mFolder.filePath(name + ".ferrowynd");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) != text.toUtf8().size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    QStringList plans(int count) const
    {
        QStringList paths;
        for (int index = 1; index <= count; ++index)
            paths << planFile(QString("Plan %1").arg(index),
                QString("[Plan]\nFormatVersion=1\n[Ferrowynd]\ntxtIncome0=%1\n").arg(index * 100));
        return paths;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(mFolder.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(mFolder.filePath("config")));
    }

    void choosesTwoToSixPlans_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<QList<Dialogs::Answer>>("answers");
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<int>("questions");
        QTest::addColumn<QString>("message");
        using A = Dialogs::Answer;
        QTest::newRow("cancelled") << 0 << QList<A>() << QStringList() << 0 << QString();
        QTest::newRow("one plan alone")
            << 1 << QList<A> { A::No } << QStringList() << 1
            << "Choose at least 2 plans to compare, or compare one plan with the current fields.";
        QTest::newRow("one plan and the current fields")
            << 1 << QList<A> { A::Yes } << QStringList { "Current fields", "Plan 1" } << 1
            << QString();
        QTest::newRow("two plans")
            << 2 << QList<A> { A::No } << QStringList { "Plan 1", "Plan 2" } << 1 << QString();
        QTest::newRow("five plans and the current fields")
            << 5 << QList<A> { A::Yes }
            << QStringList { "Current fields", "Plan 1", "Plan 2", "Plan 3", "Plan 4", "Plan 5" }
            << 1 << QString();
        QTest::newRow("six plans leave no room to ask")
            << 6 << QList<A> { A::Yes }
            << QStringList { "Plan 1", "Plan 2", "Plan 3", "Plan 4", "Plan 5", "Plan 6" } << 0
            << QString();
        QTest::newRow("seven plans") << 7 << QList<A> { A::Yes } << QStringList() << 0
                                     << "A comparison shows at most 6 plans side by side; you "
                                        "chose 7.";
    }
    void choosesTwoToSixPlans()
    {
        QFETCH(int, files);
        QFETCH(QList<Dialogs::Answer>, answers);
        QFETCH(QStringList, chosen);
        QFETCH(int, questions);
        QFETCH(QString, message);
        ScriptedDialogs dialogs;
        if (files > 0)
            dialogs.openPaths << plans(files);
        dialogs.answers = answers;
        const std::optional<QVector<PlanToCompare>> plans = choosePlansToCompare(nullptr);
        QStringList names;
        for (const PlanToCompare& plan : plans.value_or(QVector<PlanToCompare>()))
            names << plan.name;
        QCOMPARE(names, chosen);
        QCOMPARE(plans.has_value(), !chosen.isEmpty());
        QCOMPARE(dialogs.openFilters, QStringList { PlanFile::nameFilter() });
        QStringList told;
        int asked = 0;
        for (const ScriptedDialogs::Shown& shown : dialogs.messages) {
            if (shown.buttons == Dialogs::Buttons::YesNo)
                ++asked;
            else
                told << shown.text;
        }
        QCOMPARE(asked, questions);
        QCOMPARE(told, message.isEmpty() ? QStringList() : QStringList { message });
        if (plans && names.size() > 1 && names.at(1) == "Plan 1")
            QCOMPARE(plans->at(1).inputs.value("txtIncome0"), QStringLiteral("100"));
        if (plans && names.first() == "Current fields")
            QCOMPARE(plans->first().inputs, PlanFile::storedInputs());
    }

    // The refusal names the file; no plan is compared.
    void aRefusedPlanStopsTheChoice()
    {
        ScriptedDialogs dialogs;
        const QString newer = planFile("Newer", "[Plan]\nFormatVersion=9\n[Ferrowynd]\n");
        dialogs.openPaths << (plans(2) << newer);
        dialogs.answers = { Dialogs::Answer::No };
        QVERIFY(!choosePlansToCompare(nullptr));
        QCOMPARE(dialogs.messages.size(), 2);
        QVERIFY2(
            dialogs.messages.last().text.contains(newer), qPrintable(dialogs.texts().join('|')));
        QCOMPARE(dialogs.messages.last().icon, Dialogs::Icon::Warning);
    }
};

QTEST_MAIN(TestCompareChoice)
#include "tst_comparechoice.moc"
