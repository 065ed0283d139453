#include "plans/comparechoice.h"
#include "plans/planfile.h"
#include "scripteddialogs.h"

#include <QtTest>

// Choosing the plans of a comparison through the dialog seam: 2 to 6 plans, the current fields
// one of them on request; a refused plan file stops the comparison before anything runs.
class TestCompareChoice : public QObject {
    Q_OBJECT

    QTemporaryDir mFolder;

private slots:
    void choosesTwoToSixPlans_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<bool>("current"); // the answer to the question
        QTest::addColumn<QStringList>("chosen");
        QTest::addColumn<QStringList>("shown");
        const QString ask = "Compare the current fields with the chosen plans as well?";
        const QStringList six { "1", "2", "3", "4", "5", "6" };
        QTest::newRow("cancelled") << QStringList() << true << QStringList() << QStringList();
        QTest::newRow("one plan alone")
            << QStringList { "1" } << false << QStringList()
            << QStringList { ask,
                   "Choose at least 2 plans to compare, or compare one plan with the current "
                   "fields." };
        QTest::newRow("one plan and the current fields")
            << QStringList { "1" } << true << QStringList { "Current fields", "1" }
            << QStringList { ask };
        QTest::newRow("five and the current fields")
            << six.mid(0, 5) << true << (QStringList { "Current fields" } + six.mid(0, 5))
            << QStringList { ask };
        QTest::newRow("six leave no room to ask") << six << true << six << QStringList();
        QTest::newRow("seven")
            << (six + QStringList { "7" }) << true << QStringList()
            << QStringList { "A comparison shows at most 6 plans side by side; you chose 7." };
        QTest::newRow("refused") << QStringList { "1", "newer" } << false << QStringList()
                                 << QStringList { ask, "newer" };
    }
    void choosesTwoToSixPlans()
    {
        QFETCH(QStringList, files);
        QFETCH(bool, current);
        QFETCH(QStringList, chosen);
        QFETCH(QStringList, shown);
        ScriptedDialogs dialogs;
        QStringList paths;
        for (const QString& name : files) {
            paths << mFolder.filePath(name + ".ferrowynd");
            QFile file(paths.last());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QStringLiteral("[Plan]\nFormatVersion=%1\n[Ferrowynd]\ntxtIncome0=%2\n")
                           .arg(name == "newer" ? 9 : 1)
                           .arg(name)
                           .toUtf8());
        }
        if (!paths.isEmpty())
            dialogs.openPaths << paths;
        dialogs.answers = { current ? Dialogs::Answer::Yes : Dialogs::Answer::No };
        const std::optional<QVector<PlanToCompare>> plans = choosePlansToCompare(nullptr);
        QStringList names;
        for (const PlanToCompare& plan : plans.value_or(QVector<PlanToCompare>())) {
            names << plan.name;
            // Each plan file's wages are its name.
            QCOMPARE(plan.inputs.value("txtIncome0"),
                plan.name == "Current fields" ? PlanFile::storedInputs().value("txtIncome0")
                                              : plan.name);
        }
        QCOMPARE(names, chosen);
        QCOMPARE(plans.has_value(), !chosen.isEmpty());
        QCOMPARE(dialogs.openFilters, QStringList { PlanFile::nameFilter() });
        QCOMPARE(dialogs.texts().size(), shown.size());
        // A refusal names the file and its line.
        for (int index = 0; index < shown.size(); ++index)
            QVERIFY2(dialogs.texts().at(index).startsWith(shown.at(index))
                    || dialogs.texts().at(index).contains(mFolder.filePath(shown.at(index))),
                qPrintable(dialogs.texts().at(index)));
    }
};

QTEST_MAIN(TestCompareChoice)
#include "tst_comparechoice.moc"
