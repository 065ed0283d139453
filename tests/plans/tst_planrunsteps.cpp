#include "app/folders.h"
#include "entry/fieldcatalogue.h"
#include "entry/storeddate.h"
#include "fakespreadsheet.h"
#include "plans/planrun.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

// A plan run's steps against a scripted office: what each step asks, and how a failing one ends
// the run.
namespace {

QHash<QString, QString> inputs()
{
    QHash<QString, QString> stored;
    for (const FieldCatalogue::Field& field : FieldCatalogue::fields())
        stored.insert(FieldCatalogue::settingsKey(field.group, field.index), QStringLiteral("0"));
    stored["txtExpense12"] = "$1,250.00";
    stored["txtExpense13"] = "";
    stored.remove("txtExpense14");
    stored["dtHusbandDOB"] = StoredDate::toText(QDate(1965, 11, 4));
    stored["dtWifeDOB"] = "";
    return stored;
}

QStringList ownRunFiles()
{
    return QDir(temporaryFolder()).entryList({ "plan*" }, QDir::Files);
}

} // namespace

class TestPlanRunSteps final : public QObject {
    Q_OBJECT

    QTemporaryDir mTemp;

private slots:
    void initTestCase()
    {
        QVERIFY(mTemp.isValid());
        qputenv("TEMP", QFile::encodeName(mTemp.path()));
    }

    void cleanupTestCase() { removeTemporaryFolders(); }

    void inputsReachTheirCellsInBlocks()
    {
        FakeSpreadsheet::Office office;
        office.shownTexts["1!K41"] = "-The estimated annual savings needed now to";
        office.shownTexts["1!K42"] = "create the necessary savings for retirement:";
        office.shownTexts["1!M42"] = " (73,471)";
        office.numbers["1!M42"] = -73470.8;
        office.shownTexts["1!K47"] = "-Extra income available after first saving ";
        office.shownTexts["1!K48"] = "for your retirement";
        {
            PlanRun run(office, inputs(), {}, true);
            const PlanRunResult& result = run.runAll();
            QVERIFY2(result.succeeded, qPrintable(result.failedStep + ": " + result.error));
            QCOMPARE(result.results.size(), 10);
            QCOMPARE(result.results.at(7).label,
                QStringLiteral("-The estimated annual savings needed now to create the "
                               "necessary savings for retirement:"));
            QCOMPARE(result.results.at(7).text, QStringLiteral(" (73,471)"));
            QCOMPARE(result.results.at(7).number, std::optional<double>(-73470.8));
            QCOMPARE(result.results.at(9).label,
                QStringLiteral("-Extra income available after first saving for your retirement"));
            QCOMPARE(result.results.at(0).number, std::optional<double>());
            QCOMPARE(office.running, 0);
        }
        const auto shown = [&](int row, int column) {
            const std::optional<CellValue> value = office.cell(1, row, column);
            return value ? FakeSpreadsheet::describe(*value) : QStringLiteral("untouched");
        };
        QCOMPARE(shown(27, 4), QStringLiteral("$1,250.00"));
        // An empty or missing text box shows "0", as the window restores it.
        QCOMPARE(shown(28, 4), QStringLiteral("0"));
        QCOMPARE(shown(29, 4), QStringLiteral("0"));
        // A placeholder's row is never touched.
        QCOMPARE(shown(31, 4), QStringLiteral("untouched"));
        QCOMPARE(shown(3, 9), QStringLiteral("date 1965-11-04"));
        QCOMPARE(shown(4, 9), QStringLiteral("empty"));
        // The main window's run writes the same 20 blocks, never cell by cell.
        const QStringList calls = office.callsOf(1);
        QCOMPARE(calls.filter(QRegularExpression("^setColumnCells ")).size(), 20);
        QCOMPARE(calls.filter(QRegularExpression("^setCell ")).size(), 0);
        QCOMPARE(calls.filter(QRegularExpression("^selectRange D4$")).size(), 1);
        QCOMPARE(
            calls.filter(QRegularExpression("^saveAs 1 .*/planresult[0-9]+\\.xls 56$")).size(), 1);
        QCOMPARE(calls.last(), QStringLiteral("quit"));
        QVERIFY(ownRunFiles().isEmpty());
    }

    void aFailingStepEndsTheRunAtOnce_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("saved");

        QTest::newRow("no office") << "create"
                                   << "starting the office session" << false;
        QTest::newRow("open") << "1:openWorkbook"
                              << "opening the template" << false;
        QTest::newRow("fill") << "1:setCell"
                              << "filling the template" << false;
        QTest::newRow("select") << "1:selectRange"
                                << "selecting the first cell" << false;
        QTest::newRow("version") << "1:version"
                                 << "saving the workbook" << false;
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
        QTemporaryDir out;
        FakeSpreadsheet::Office office;
        if (failing == "create")
            office.failingCreations << 1;
        office.failing << failing;
        // Cell by cell only after a block failed.
        if (failing == "1:setCell")
            office.failing << "1:setColumnCells";
        const PlanOutputs outputs { out.filePath("a.xls"), out.filePath("a.pdf"),
            out.filePath("a.png") };
        QString workbook;
        {
            PlanRun run(office, inputs(), outputs, true);
            const PlanRunResult& result = run.runAll();
            QVERIFY(!result.succeeded);
            QCOMPARE(result.failedStep, step);
            QVERIFY2(result.error.contains("fake"), qPrintable(result.error));
            QVERIFY(result.results.isEmpty());
            // The session went with the failure, not with the run.
            QCOMPARE(office.running, 0);
            workbook = result.resultWorkbook;
            QCOMPARE(!workbook.isEmpty(), saved);
            QCOMPARE(ownRunFiles(),
                saved ? QStringList { QFileInfo(workbook).fileName() } : QStringList());
        }
        QVERIFY(ownRunFiles().isEmpty());
        // Whatever was written before the failure is whole: the workbook copy comes first.
        QCOMPARE(QFile::exists(outputs.xls), saved);
        QCOMPARE(QFile::exists(outputs.pdf),
            failing == "1:sheetPicture" || failing == "1:cellNumber" || failing == "1:close");
    }
};

QTEST_MAIN(TestPlanRunSteps)
#include "tst_planrunsteps.moc"
