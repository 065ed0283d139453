#include "app/folders.h"
#include "entry/storeddate.h"
#include "fakespreadsheet.h"
#include "plans/planfile.h"
#include "plans/planrun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>

// Plans through the program's template without a window: on a real warm office, and on a
// scripted one that fails on cue.
namespace {

// A household as the settings store holds it; every other field at its first-start value.
QHash<QString, QString> household(const QString& groceries)
{
    QHash<QString, QString> inputs = PlanFile::firstStartInputs();
    const QStringList other { "11", "5", "3", "", "", "90", "", "", "67", "65", "", "", "90",
        "92" };
    for (int index = 0; index < other.size(); ++index) {
        if (!other.at(index).isEmpty())
            inputs[QStringLiteral("txtOther%1").arg(index)] = other.at(index);
    }
    for (int index = 0; index < 16; ++index)
        inputs[QStringLiteral("txtSavings%1").arg(index)] = QString::number((index + 1) * 1000);
    inputs["txtIncome0"] = "$4,500.00";
    inputs["txtIncome1"] = "$1,500.00";
    inputs["txtIncome2"] = "25";
    inputs["txtExpense12"] = groceries;
    inputs["txtExpense13"] = ""; // restores as "0"
    inputs.remove("txtExpense14"); // likewise
    inputs["txtExpense30"] = "$300.00";
    inputs["dtHusbandDOB"] = StoredDate::toText(QDate(1965, 11, 4));
    inputs["dtWifeDOB"] = StoredDate::toText(QDate(1966, 1, 24));
    return inputs;
}

// Rows of SheetResults::rows().
enum {
    income,
    expenses,
    savings,
    projected,
    shortfall,
    required,
    retirement,
    needed,
    available,
    extra
};

double number(const PlanRunResult& result, int row)
{
    return result.results.value(row).number.value_or(std::nan(""));
}

QStringList ownRunFiles()
{
    return QDir(temporaryFolder()).entryList({ "plan*" }, QDir::Files);
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
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
        // Through plan files, as the command line and the comparison read them.
        for (const QString groceries : { "$1,250.00", "$1,350.00" })
            PlanFile::write(
                mOut.filePath(groceries + ".ferrowynd"), { {}, household(groceries), {} });
        PlanRun before(
            *mOffice, PlanFile::read(mOut.filePath("$1,250.00.ferrowynd")).inputs, {}, true);
        PlanRun after(
            *mOffice, PlanFile::read(mOut.filePath("$1,350.00.ferrowynd")).inputs, {}, true);
        const PlanRunResult& first = before.runAll();
        const PlanRunResult& second = after.runAll();
        QVERIFY2(first.succeeded, qPrintable(first.failedStep + ": " + first.error));
        QVERIFY2(second.succeeded, qPrintable(second.failedStep + ": " + second.error));
        QCOMPARE(second.results.size(), 10);
        QVERIFY(first.resultWorkbook != second.resultWorkbook);
        // The sheet's own labels, two cells joined where it has two.
        QCOMPARE(first.results.at(expenses).label, QStringLiteral("Total Expenses"));
        QCOMPARE(first.results.at(extra).label,
            QStringLiteral("-Extra income available after first saving for your retirement"));
        // 6,025 a month coming in; out go the taxes on it (13,375.50 a year) and 1,550 a month,
        // then 1,650.
        QCOMPARE(number(second, income), 72300.0);
        QCOMPARE(number(first, expenses), 31975.5);
        QCOMPARE(number(second, expenses), 33175.5);
        QCOMPARE(first.results.at(expenses).text, QStringLiteral(" 31,976 "));
        QCOMPARE(second.results.at(expenses).text, QStringLiteral(" 33,176 "));
        // 1 + 2 + ... + 16 thousand saved, whatever is spent.
        QCOMPARE(number(second, savings), 136000.0);
        QCOMPARE(number(second, projected), number(first, projected));
        // 90% of the expenses in retirement; what is left for saving falls by the 1,200.
        QCOMPARE(number(first, retirement), 28777.95);
        QCOMPARE(number(second, retirement), 29857.95);
        QCOMPARE(number(first, available), 40324.5);
        QCOMPARE(number(second, available), 39124.5);
        // A larger shortfall needs more saving now and leaves less extra income (the years to
        // retirement follow today's date: no fixed figures).
        QVERIFY(number(second, shortfall) > number(first, shortfall));
        QVERIFY(number(second, required) > number(first, required));
        QVERIFY(number(second, extra) < number(first, extra) - 1200.0);
    }

    void outputsAreWrittenWhole()
    {
        const QString folder = mOut.filePath("whole");
        QVERIFY(QDir().mkpath(folder));
        const PlanOutputs outputs { folder + "/p.xls", folder + "/p.pdf", folder + "/p.png" };
        QString workbook;
        {
            PlanRun run(*mOffice, household("$1,250.00"), outputs, false);
            QVERIFY(run.runAll().succeeded);
            workbook = run.result().resultWorkbook;
            QVERIFY(QFile::exists(workbook));
        }
        QVERIFY(!QFile::exists(workbook));
        QVERIFY(ownRunFiles().isEmpty());
        QCOMPARE(entries(folder), QStringList({ "p.pdf", "p.png", "p.xls" }));
        QFile pdf(outputs.pdf);
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdf.read(4), QByteArray("%PDF"));
        QVERIFY(QImage(outputs.png).width() > 1000);
        // The copy opens and holds the computed figures.
        const auto session = mOffice->newInstance();
        const int opened = session->openWorkbook(outputs.xls);
        QCOMPARE(session->cellText(opened, 1, 76, 5), QStringLiteral(" 31,976 "));
        QCOMPARE(session->cellNumber(opened, 1, 76, 5), std::optional<double>(31975.5));
        QCOMPARE(session->cellNumber(opened, 1, 76, 2), std::optional<double>());
        QCOMPARE(session->cellNumber(opened, 1, 4, 4), std::optional<double>(4500.0));
    }

    void anOutputThatCannotBeWrittenFailsItsStep_data()
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

    void anOutputThatCannotBeWrittenFailsItsStep()
    {
        QFETCH(QString, output);
        QFETCH(QString, step);
        // A folder where the file should go: nothing can be written under that name.
        const QString folder = mOut.filePath("taken-" + output);
        const QString target = folder + "/p." + output;
        QVERIFY(QDir().mkpath(target));
        PlanOutputs outputs;
        (output == "pdf" ? outputs.pdf : output == "png" ? outputs.png : outputs.xls) = target;
        {
            PlanRun run(*mOffice, household("$1,250.00"), outputs, true);
            const PlanRunResult& result = run.runAll();
            QVERIFY(!result.succeeded && run.finished() && result.results.isEmpty());
            QCOMPARE(result.failedStep, step);
            QVERIFY2(result.error.contains(target), qPrintable(result.error));
            // Only the computed workbook stays while the run lives.
            QCOMPARE(ownRunFiles(), QStringList({ QFileInfo(result.resultWorkbook).fileName() }));
        }
        QVERIFY(ownRunFiles().isEmpty());
        QCOMPARE(entries(folder), QStringList({ "p." + output }));
        QCOMPARE(entries(target), QStringList());
    }

    void inputsReachTheirCellsAsTheWindowsRunWritesThem()
    {
        FakeSpreadsheet::Office office;
        office.shownTexts = { { "1!K41", "-Savings needed now to " }, { "1!K42", "retire:" },
            { "1!M42", " (73,471)" } };
        office.numbers["1!M42"] = -73470.8;
        PlanRun run(office, household("$1,250.00"), {}, true);
        QStringList steps;
        for (; !run.finished(); run.step())
            steps << run.nextStepName();
        QVERIFY(run.result().succeeded);
        QCOMPARE(steps.size(), run.stepCount());
        QCOMPARE(steps.count("filling the template"), 11);
        QCOMPARE(steps.mid(14, 3),
            QStringList(
                { "selecting the first cell", "saving the workbook", "reading the results" }));
        QCOMPARE(run.result().results.at(needed).label,
            QStringLiteral("-Savings needed now to retire:"));
        QCOMPARE(run.result().results.at(needed).text, QStringLiteral(" (73,471)"));
        QCOMPARE(run.result().results.at(needed).number, std::optional<double>(-73470.8));
        QCOMPARE(office.running, 0);
        const auto shown = [&](int row, int column) {
            const std::optional<CellValue> value = office.cell(1, row, column);
            return value ? FakeSpreadsheet::describe(*value) : QStringLiteral("untouched");
        };
        QCOMPARE(shown(27, 4), QStringLiteral("$1,250.00"));
        QCOMPARE(shown(28, 4), QStringLiteral("0"));
        QCOMPARE(shown(29, 4), QStringLiteral("0"));
        QCOMPARE(shown(31, 4), QStringLiteral("untouched")); // a placeholder's row
        QCOMPARE(shown(4, 9), QStringLiteral("date 1966-01-24"));
        // The same 20 blocks as the window's run, never cell by cell.
        const QStringList calls = office.callsOf(1);
        QCOMPARE(calls.filter(QRegularExpression("^setColumnCells ")).size(), 20);
        QCOMPARE(calls.filter(QRegularExpression("^setCell ")).size(), 0);
        QCOMPARE(
            calls.filter(QRegularExpression("^openWorkbookWithoutView .*/plantemplate")).size(), 1);
        QVERIFY(calls.contains("selectRange D4"));
        QCOMPARE(
            calls.filter(QRegularExpression("^saveAs 1 .*/planresult[0-9]+\\.xls 56$")).size(), 1);
    }

    void aRunDroppedHalfWayLeavesNothing()
    {
        FakeSpreadsheet::Office office;
        {
            PlanRun run(
                office, household("$1,250.00"), { mOut.filePath("dropped.xls"), {}, {} }, true);
            while (run.nextStepName() != "reading the results")
                QVERIFY(run.step());
            QCOMPARE(ownRunFiles().size(), 2); // the template and the computed workbook
        }
        QCOMPARE(office.running, 0);
        QVERIFY(ownRunFiles().isEmpty());
        QVERIFY(QFile::exists(mOut.filePath("dropped.xls")));
    }

    void aFailingStepEndsTheRunAtOnce_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("saved");
        QTest::newRow("no office") << "create"
                                   << "starting the office session" << false;
        QTest::newRow("open") << "1:openWorkbookWithoutView"
                              << "opening the template" << false;
        QTest::newRow("cell") << "1:setCell"
                              << "filling the template" << false;
        QTest::newRow("date") << "date"
                              << "filling the template" << false;
        QTest::newRow("select") << "1:selectRange"
                                << "selecting the first cell" << false;
        QTest::newRow("save") << "1:saveAs"
                              << "saving the workbook" << false;
        QTest::newRow("pdf") << "1:exportPdf"
                             << "writing the PDF" << true;
        QTest::newRow("picture") << "1:sheetPicture"
                                 << "drawing the picture" << true;
        QTest::newRow("results") << "1:cellNumber"
                                 << "reading the results" << true;
        QTest::newRow("close") << "1:close"
                               << "closing the workbook" << true;
    }

    void aFailingStepEndsTheRunAtOnce()
    {
        QFETCH(QString, failing);
        QFETCH(QString, step);
        QFETCH(bool, saved);
        FakeSpreadsheet::Office office;
        QHash<QString, QString> inputs = household("$1,250.00");
        if (failing == "create")
            office.failingCreations << 1;
        if (failing == "date")
            inputs["dtWifeDOB"] = "the 24th of January";
        // Cell by cell only after a block failed.
        office.failing << failing << (failing == "1:setCell" ? "1:setColumnCells" : "");
        const QString out = mOut.filePath("fake-" + failing.mid(2));
        const PlanOutputs outputs { out + ".xls", out + ".pdf", out + ".png" };
        {
            PlanRun run(office, inputs, outputs, true);
            const PlanRunResult& result = run.runAll();
            QVERIFY(!result.succeeded && result.results.isEmpty());
            QCOMPARE(result.failedStep, step);
            QVERIFY2(result.error.contains(failing == "date" ? "24th" : "fake"),
                qPrintable(result.error));
            QCOMPARE(office.running, 0); // the session went with the failure
            QCOMPARE(!result.resultWorkbook.isEmpty(), saved);
            QCOMPARE(ownRunFiles().size(), saved ? 1 : 0);
        }
        QVERIFY(ownRunFiles().isEmpty());
        // What was written before the failure is whole: the workbook copy comes first.
        QCOMPARE(QFile::exists(outputs.xls), saved);
        QCOMPARE(QFile::exists(outputs.pdf), saved && failing != "1:exportPdf");
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
