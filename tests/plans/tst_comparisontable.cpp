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

ComparedPlan planOf(const QString& name, double income)
{
    // The sheet shows a zero as "-".
    return { name, { { "txtIncome0", QString::number(income / 12) } },
        { true, {}, {},
            { { "Total Income", QLocale().toString(income, 'f', 0), income },
                { "Total Savings today", "-", 0.0 } },
            {} } };
}

} // namespace

class TestComparisonTable : public QObject {
    Q_OBJECT

    QTemporaryDir mFolder;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    // The copies' columns; a failed plan's column says so and its cells are empty.
    void fillsTheCopiesColumns()
    {
        ComparedPlan failed = planOf("Retire at 70", 84000);
        failed.result = { false, "saving the workbook", "Disk full", {}, {} };
        const QVector<ComparedPlan> plans { planOf("Retire at 62", 60000),
            planOf("Retire at 67", 72000), failed };
        QTableWidget table;
        ComparisonTable::fill(table, Comparison(plans), plans);
        QStringList headers;
        for (int column = 0; column < table.columnCount(); ++column)
            headers << table.horizontalHeaderItem(column)->text();
        QCOMPARE(headers,
            QStringList({ "Retire at 62", "Retire at 67", "Δ Retire at 67", "Retire at 70 (failed)",
                "Δ Retire at 70" }));
        QCOMPARE(table.horizontalHeaderItem(3)->toolTip(),
            QStringLiteral("Retire at 70: failed while saving the workbook: Disk full"));
        QCOMPARE(table.rowCount(), 3);
        QStringList cells;
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 5; ++column) {
                const QTableWidgetItem* item = table.item(row, column);
                const bool right = item->textAlignment() & Qt::AlignRight;
                cells << (right ? ">" : "<") + item->text() + (item->font().italic() ? "/" : "");
            }
        }
        QCOMPARE(cells,
            QStringList({ ">5000", ">6000", ">+1,000.00/", ">7000", ">+2,000.00/", // wages
                ">60,000", ">72,000", ">+12,000.00/", "<", ">/", // the sheet's total income
                ">-", ">-", ">0.00/", "<", ">/" }));
        QCOMPARE(table.verticalHeaderItem(1)->text(), QStringLiteral("Total Income"));
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
            compared << planOf(
                QString("A plan with a rather long name %1").arg(plan), 60000 + plan * 12000);
        const QString path = mFolder.filePath(QString("table%1.pdf").arg(plans));
        writeComparisonPdf(path, Comparison(compared), compared, QDateTime::currentDateTime());
        QPdfDocument pdf;
        QCOMPARE(pdf.load(path), QPdfDocument::Error::None);
        QCOMPARE(pdf.pageCount(), 1);
        QCOMPARE(pdf.pagePointSize(0).width() > pdf.pagePointSize(0).height(), landscape);
        QCOMPARE(pdf.metaData(QPdfDocument::MetaDataField::Title).toString(),
            QStringLiteral("Plan Comparison"));
    }

    // Nothing is left behind where a file cannot be written.
    void filesAreCompleteOrAbsent()
    {
        const QString missing = mFolder.filePath("no folder/table");
        QVERIFY_THROWS_EXCEPTION(AppError, writeTextFile(missing + ".csv", "a,b\r\n"));
        const QVector<ComparedPlan> compared { planOf("A", 1), planOf("B", 2) };
        QVERIFY_THROWS_EXCEPTION(AppError,
            writeComparisonPdf(
                missing + ".pdf", Comparison(compared), compared, QDateTime::currentDateTime()));
        QVERIFY(!QFileInfo::exists(mFolder.filePath("no folder")));
    }
};

QTEST_MAIN(TestComparisonTable)
#include "tst_comparisontable.moc"
