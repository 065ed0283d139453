#include "app/folders.h"
#include "entry/fieldcatalogue.h"
#include "entry/storeddate.h"
#include "plans/planrun.h"
#include "workbook/spreadsheetapplication.h"
#include "workbook/spreadsheetoffice.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

// Plans through the program's template on a real warm office, without a window.
namespace {

// A household as the settings store holds it; every other field at its first-start value.
QHash<QString, QString> household(const QString& groceries)
{
    QHash<QString, QString> inputs;
    for (const FieldCatalogue::Field& field : FieldCatalogue::fields())
        inputs.insert(FieldCatalogue::settingsKey(field.group, field.index), QStringLiteral("0"));
    inputs["txtIncome0"] = "$4,500.00";
    inputs["txtIncome1"] = "$1,500.00";
    inputs["txtIncome2"] = "25";
    inputs["txtExpense12"] = groceries;
    inputs["txtExpense30"] = "$300.00";
    const QStringList other { "11", "5", "3", "", "", "90", "", "", "67", "65", "", "", "90",
        "92" };
    for (int index = 0; index < other.size(); ++index) {
        if (!other.at(index).isEmpty())
            inputs[QStringLiteral("txtOther%1").arg(index)] = other.at(index);
    }
    for (int index = 0; index < 16; ++index)
        inputs[QStringLiteral("txtSavings%1").arg(index)]
            = QStringLiteral("$%1,000.00").arg(index + 1);
    inputs["txtRetirementIncome0"] = "1800";
    inputs["txtRetirementIncome1"] = "1200";
    inputs["dtHusbandDOB"] = StoredDate::toText(QDate(1965, 11, 4));
    inputs["dtWifeDOB"] = StoredDate::toText(QDate(1966, 1, 24));
    return inputs;
}

// The rows of SheetResults::rows().
enum ResultRow {
    totalIncome,
    totalExpenses,
    savingsToday,
    projectedSavings,
    shortfall,
    requiredSavings,
    retirementExpenses,
    savingsNeeded,
    availableForSavings,
    extraIncome,
    resultRows
};

double number(const PlanRunResult& result, int row)
{
    const std::optional<double> value = result.results.value(row).number;
    if (!value)
        qWarning() << "no number in row" << row << result.results.value(row).text;
    return value.value_or(std::nan(""));
}

QStringList ownRunFiles()
{
    return QDir(temporaryFolder()).entryList({ "plan*" }, QDir::Files);
}

} // namespace

class TestPlanRun final : public QObject {
    Q_OBJECT

    QTemporaryDir mTemp;
    QTemporaryDir mOut;
    std::unique_ptr<SpreadsheetOffice> mOffice;

private slots:
    void initTestCase()
    {
        QVERIFY(mTemp.isValid() && mOut.isValid());
        qputenv("TEMP", QFile::encodeName(mTemp.path()));
        mOffice = createSpreadsheetOffice();
        mOffice->startAhead();
        QVERIFY(mOffice->awaitStart());
    }

    void cleanupTestCase()
    {
        mOffice.reset();
        removeTemporaryFolders();
    }

    void twoPlansDifferByTheSheetsOwnArithmetic()
    {
        PlanRun before(*mOffice, household("$1,250.00"), {}, true);
        PlanRun after(*mOffice, household("$1,350.00"), {}, true);
        const PlanRunResult& first = before.runAll();
        const PlanRunResult& second = after.runAll();
        QVERIFY2(first.succeeded, qPrintable(first.failedStep + ": " + first.error));
        QVERIFY2(second.succeeded, qPrintable(second.failedStep + ": " + second.error));
        QCOMPARE(first.results.size(), int(resultRows));
        QCOMPARE(second.results.size(), int(resultRows));
        QVERIFY(first.resultWorkbook != second.resultWorkbook);

        // The labels are the sheet's own.
        QCOMPARE(first.results.at(totalIncome).label, QStringLiteral("Total Income"));
        QCOMPARE(first.results.at(totalExpenses).label, QStringLiteral("Total Expenses"));
        QCOMPARE(first.results.at(savingsToday).label, QStringLiteral("Total Savings today"));
        QCOMPARE(first.results.at(savingsNeeded).label,
            QStringLiteral("-The estimated annual savings needed now to create the necessary "
                           "savings for retirement:"));
        QCOMPARE(first.results.at(extraIncome).label,
            QStringLiteral("-Extra income available after first saving for your retirement"));

        // (4,500 + 1,500 + 25) a month; the expenses are the taxes on that income (13,375.50 a
        // year) and 1,550 a month, then 1,650.
        QCOMPARE(number(first, totalIncome), 72300.0);
        QCOMPARE(number(second, totalIncome), 72300.0);
        QCOMPARE(first.results.at(totalIncome).text, QStringLiteral(" 72,300 "));
        QCOMPARE(number(first, totalExpenses), 31975.5);
        QCOMPARE(number(second, totalExpenses), 33175.5);
        QCOMPARE(first.results.at(totalExpenses).text, QStringLiteral(" 31,976 "));
        QCOMPARE(second.results.at(totalExpenses).text, QStringLiteral(" 33,176 "));
        // 1 + 2 + ... + 16 thousand saved, whatever is spent.
        QCOMPARE(number(first, savingsToday), 136000.0);
        QCOMPARE(number(second, savingsToday), 136000.0);
        QCOMPARE(number(second, projectedSavings), number(first, projectedSavings));
        // 90% of the expenses in retirement; income after cost of living falls by the 1,200.
        QCOMPARE(number(first, retirementExpenses), 28777.95);
        QCOMPARE(number(second, retirementExpenses), 29857.95);
        QCOMPARE(number(first, availableForSavings), 40324.5);
        QCOMPARE(number(second, availableForSavings), 39124.5);
        QCOMPARE(second.results.at(availableForSavings).text, QStringLiteral(" 39,125 "));
        // A larger shortfall needs more saving now, and leaves less extra income (the years to
        // retirement follow today's date: no fixed figures here).
        QVERIFY(number(second, shortfall) > number(first, shortfall));
        QVERIFY(number(second, requiredSavings) > number(first, requiredSavings));
        QCOMPARE(number(first, savingsNeeded), number(first, requiredSavings));
        QVERIFY(number(second, extraIncome) < number(first, extraIncome) - 1200.0);
    }

    void outputsAreWrittenWhole()
    {
        const QString folder = mOut.filePath("whole");
        QVERIFY(QDir().mkpath(folder));
        const PlanOutputs outputs { folder + "/plan.xls", folder + "/plan.pdf",
            folder + "/plan.png" };
        QString workbook;
        {
            PlanRun run(*mOffice, household("$1,250.00"), outputs, false);
            const PlanRunResult& result = run.runAll();
            QVERIFY2(result.succeeded, qPrintable(result.failedStep + ": " + result.error));
            QVERIFY(result.results.isEmpty());
            workbook = result.resultWorkbook;
            QVERIFY(QFile::exists(workbook));
        }
        QVERIFY(!QFile::exists(workbook));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden),
            QStringList({ "plan.pdf", "plan.png", "plan.xls" }));

        QFile pdf(outputs.pdf);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(4), QByteArray("%PDF"));
        const QImage picture(outputs.png);
        QVERIFY(!picture.isNull());
        QVERIFY2(picture.width() > 1000, qPrintable(QString::number(picture.width())));

        // The copy opens and holds the computed figures.
        const auto session = mOffice->newInstance();
        const int opened = session->openWorkbook(outputs.xls);
        QCOMPARE(session->cellText(opened, 1, 76, 5), QStringLiteral(" 31,976 "));
        QCOMPARE(session->cellNumber(opened, 1, 76, 5), std::optional<double>(31975.5));
        QCOMPARE(session->cellText(opened, 1, 76, 2), QStringLiteral("Total Expenses"));
        QCOMPARE(session->cellNumber(opened, 1, 76, 2), std::optional<double>());
        QCOMPARE(session->cellNumber(opened, 1, 4, 4), std::optional<double>(4500.0));
        session->quit();
        QVERIFY(ownRunFiles().isEmpty());
    }

    void aFailingStepIsNamedAndLeavesNothingHalfWritten_data()
    {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("step");
        QTest::newRow("pdf") << "pdf"
                             << "writing the PDF";
        QTest::newRow("png") << "png"
                             << "writing the picture";
        QTest::newRow("xls") << "xls"
                             << "writing the workbook";
    }

    void aFailingStepIsNamedAndLeavesNothingHalfWritten()
    {
        QFETCH(QString, output);
        QFETCH(QString, step);
        // A folder where the file should go: nothing can be written under that name.
        const QString folder = mOut.filePath("taken-" + output);
        const QString target = folder + "/plan." + output;
        QVERIFY(QDir().mkpath(target));
        PlanOutputs outputs;
        (output == "pdf" ? outputs.pdf : output == "png" ? outputs.png : outputs.xls) = target;
        {
            PlanRun run(*mOffice, household("$1,250.00"), outputs, true);
            const PlanRunResult& result = run.runAll();
            QVERIFY(run.finished());
            QVERIFY(!result.succeeded);
            QCOMPARE(result.failedStep, step);
            QVERIFY2(result.error.contains(folder), qPrintable(result.error));
            QVERIFY(result.results.isEmpty());
            QVERIFY(!run.step());
            // Only the computed workbook stays while the run lives.
            QCOMPARE(ownRunFiles(), QStringList({ QFileInfo(result.resultWorkbook).fileName() }));
        }
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList({ "plan." + output }));
        QCOMPARE(QDir(target).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
        QVERIFY(ownRunFiles().isEmpty());
    }

    void anInputTheFieldsWouldRefuseFailsTheFill()
    {
        QHash<QString, QString> inputs = household("$1,250.00");
        inputs["dtWifeDOB"] = "the 24th of January";
        PlanRun run(*mOffice, inputs, { mOut.filePath("never.xls"), {}, {} }, true);
        const PlanRunResult& result = run.runAll();
        QVERIFY(!result.succeeded);
        QCOMPARE(result.failedStep, QStringLiteral("filling the template"));
        QVERIFY2(result.error.contains("the 24th of January"), qPrintable(result.error));
        QVERIFY(result.resultWorkbook.isEmpty());
        QVERIFY(!QFile::exists(mOut.filePath("never.xls")));
        QVERIFY(ownRunFiles().isEmpty());
    }

    void stepsRunOneAtATime()
    {
        PlanRun run(*mOffice, household("$1,250.00"), {}, true);
        QCOMPARE(run.nextStepName(), QStringLiteral("starting the office session"));
        QStringList names;
        int steps = 0;
        while (!run.finished()) {
            names << run.nextStepName();
            run.step();
            ++steps;
        }
        QCOMPARE(steps, run.stepCount());
        QVERIFY(run.result().succeeded);
        QCOMPARE(names.count("filling the template"), 11);
        QCOMPARE(names.count("reading the results"), 10);
        QCOMPARE(names.mid(names.indexOf("reading the results") - 2, 2),
            QStringList({ "selecting the first cell", "saving the workbook" }));
        QCOMPARE(names.last(), QStringLiteral("closing the workbook"));
        QCOMPARE(run.nextStepName(), QString());
        QVERIFY(!run.step());
    }
};

// Amounts are typed and shown in the United States' style.
int main(int argc, char* argv[])
{
    qputenv("LC_ALL", "en_US.UTF-8");
    QGuiApplication application(argc, argv);
    TestPlanRun test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_planrun.moc"
