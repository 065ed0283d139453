#include "app/apperror.h"
#include "plans/comparison.h"
#include "plans/comparisonfiles.h"
#include "plans/comparisonpdf.h"
#include "plans/comparisontable.h"

#include <QPdfDocument>
#include <QTableWidget>
#include <QtTest>

// How a comparison's cells read in the window and the PDF, and the files it is written to.
namespace {

ComparedPlan planOf(const QString& name, const QString& wages, double income)
{
    ComparedPlan plan;
    plan.name = name;
    plan.inputs = { { "txtIncome0", wages } };
    plan.result.succeeded = true;
    // The sheet shows a zero as "-".
    plan.result.results
        = { { "Total income", QLocale(QLocale::English).toString(income, 'f', 0), income },
              { "Total Savings today", "-", 0.0 } };
    return plan;
}

} // namespace

class TestComparisonTable : public QObject {
    Q_OBJECT

    QTemporaryDir mFolder;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void alignsNumbersRight_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("right");
        QTest::newRow("amount") << "$4,500.00" << true;
        QTest::newRow("loss") << "(1,500)" << true;
        QTest::newRow("percent") << "7.0%" << true;
        QTest::newRow("date") << "11/4/1965" << true;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("words") << "No date" << false;
        QTest::newRow("error") << "#VALUE!" << false;
        QTest::newRow("dash") << "-" << false;
    }
    void alignsNumbersRight()
    {
        QFETCH(QString, value);
        QFETCH(bool, right);
        QCOMPARE(ComparisonTable::alignsRight(value), right);
    }

    // Each plan after the first has its value column, then its difference column.
    void columnsBelongToPlans_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("plan");
        QTest::newRow("first plan") << 0 << 0;
        QTest::newRow("second plan") << 1 << 1;
        QTest::newRow("its difference") << 2 << 1;
        QTest::newRow("third plan") << 3 << 2;
        QTest::newRow("sixth plan's difference") << 10 << 5;
    }
    void columnsBelongToPlans()
    {
        QFETCH(int, column);
        QFETCH(int, plan);
        QCOMPARE(ComparisonTable::planOfColumn(column), plan);
    }

    // The table has the copies' columns; a failed plan's column says so and its cells are empty.
    void fillsTheCopiesColumns()
    {
        ComparedPlan failed = planOf("Retire at 70", "7000", 0);
        failed.result.succeeded = false;
        failed.result.failedStep = "saving the workbook";
        failed.result.error = "Disk full";
        failed.result.results.clear();
        const QVector<ComparedPlan> plans { planOf("Retire at 62", "5000", 60000),
            planOf("Retire at 67", "6000", 72000), failed };
        QTableWidget table;
        ComparisonTable::fill(table, Comparison(plans), plans);
        QStringList headers;
        for (int column = 0; column < table.columnCount(); ++column)
            headers << table.horizontalHeaderItem(column)->text();
        QCOMPARE(headers,
            QStringList({ "Retire at 62", "Retire at 67", "Δ Retire at 67", "Retire at 70 (failed)",
                "Δ Retire at 70" }));
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.verticalHeaderItem(1)->text(), QStringLiteral("Total income"));
        QStringList totals;
        for (int column = 0; column < table.columnCount(); ++column)
            totals << table.item(1, column)->text();
        QCOMPARE(totals, QStringList({ "60,000", "72,000", "+12,000.00", "", "" }));
        QCOMPARE(table.item(1, 2)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
        QVERIFY(table.item(1, 2)->font().italic());
        QCOMPARE(table.item(2, 0)->text(), QStringLiteral("-"));
        QCOMPARE(table.item(2, 0)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
        QCOMPARE(table.item(2, 3)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
        QCOMPARE(table.item(0, 0)->text(), QStringLiteral("5000"));
        QCOMPARE(table.item(0, 0)->textAlignment() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
        QVERIFY(!table.item(1, 1)->font().italic());
        QCOMPARE(table.horizontalHeaderItem(3)->toolTip(),
            QStringLiteral("Retire at 70: failed while saving the workbook: Disk full"));
    }

    void aFailedPlanSaysWhere()
    {
        ComparedPlan failed = planOf("Retire at 70", "0", 0);
        failed.result.succeeded = false;
        failed.result.failedStep = "saving the workbook";
        failed.result.error = "Disk full";
        QCOMPARE(ComparisonTable::header(failed), QStringLiteral("Retire at 70 (failed)"));
        QCOMPARE(ComparisonTable::failure(failed),
            QStringLiteral("Retire at 70: failed while saving the workbook: Disk full"));
        const ComparedPlan ran = planOf("Retire at 62", "5000", 60000);
        QCOMPARE(ComparisonTable::header(ran), QStringLiteral("Retire at 62"));
        QCOMPARE(ComparisonTable::failure(ran), QString());
    }

    // One page whatever the number of plans; the long side across for more than three.
    void pdfIsOnePage_data()
    {
        QTest::addColumn<int>("plans");
        QTest::addColumn<bool>("landscape");
        QTest::newRow("two") << 2 << false;
        QTest::newRow("three") << 3 << false;
        QTest::newRow("four") << 4 << true;
        QTest::newRow("six") << 6 << true;
    }
    void pdfIsOnePage()
    {
        QFETCH(int, plans);
        QFETCH(bool, landscape);
        QVector<ComparedPlan> compared;
        for (int plan = 0; plan < plans; ++plan)
            compared << planOf(QString("A plan with a rather long name %1").arg(plan),
                QString::number(5000 + plan), 60000 + plan * 12000);
        const Comparison comparison(compared);
        const QString path = mFolder.filePath(QString("table%1.pdf").arg(plans));
        writeComparisonPdf(path, comparison, compared, QDateTime(QDate(2026, 12, 8), QTime(18, 0)));
        QPdfDocument pdf;
        QCOMPARE(pdf.load(path), QPdfDocument::Error::None);
        QCOMPARE(pdf.pageCount(), 1);
        const QSizeF page = pdf.pagePointSize(0);
        QCOMPARE(page.width() > page.height(), landscape);
        QCOMPARE(pdf.metaData(QPdfDocument::MetaDataField::Title).toString(),
            QStringLiteral("Plan Comparison"));
    }

    // Nothing is left behind where a file cannot be written.
    void filesAreCompleteOrAbsent()
    {
        const QString text = QStringLiteral("\"Plan\",\"Retire at 62\"\n\"Wages\",\"5000\"\n");
        const QString path = mFolder.filePath("table.csv");
        writeTextFile(path, text);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), text);
        const QString missing = mFolder.filePath("no folder/table.csv");
        QVERIFY_THROWS_EXCEPTION(AppError, writeTextFile(missing, text));
        QVERIFY(!QFileInfo::exists(missing));
        const QVector<ComparedPlan> compared { planOf("A", "1", 1), planOf("B", "2", 2) };
        QVERIFY_THROWS_EXCEPTION(AppError,
            writeComparisonPdf(mFolder.filePath("no folder/t.pdf"), Comparison(compared), compared,
                QDateTime::currentDateTime()));
    }
};

QTEST_MAIN(TestComparisonTable)
#include "tst_comparisontable.moc"
