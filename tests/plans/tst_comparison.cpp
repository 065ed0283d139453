#include "plans/comparison.h"

#include <QtTest>

namespace {

// Every plan starts from the same inputs; a row names only the keys that differ.
ComparedPlan plan(const QString& name, const QHash<QString, QString>& inputs,
    const QVector<SheetResult>& results = {})
{
    QHash<QString, QString> all { { "txtIncome0", "$5,000.00" }, { "txtExpense21", "$900.00" },
        { "txtOther0", "7" }, { "dtHusbandDOB", "4/11/1965" }, { "txtSavings15", "0" } };
    for (auto entry = inputs.begin(); entry != inputs.end(); ++entry)
        all.insert(entry.key(), entry.value());
    PlanRunResult result;
    result.succeeded = !results.isEmpty();
    result.results = results;
    return { name, all, result };
}

SheetResult money(const QString& label, const QString& text, double number)
{
    return { label, text, number };
}

SheetResult words(const QString& label, const QString& text)
{
    return { label, text, {} };
}

using Inputs = QHash<QString, QString>;

} // namespace

class TestComparison : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void inputRows_data()
    {
        QTest::addColumn<QVector<Inputs>>("changes"); // per plan after the first
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QStringList>("values"); // every row's values, joined by "|"
        QTest::addColumn<QStringList>("differences");
        QTest::newRow("same inputs: no row")
            << QVector<Inputs> { {} } << QStringList() << QStringList() << QStringList();
        QTest::newRow("amount up")
            << QVector<Inputs> { { { "txtExpense21", "$2,100.00" } } }
            << QStringList { "Current Expenses: Interest Expense — Mortgage" }
            << QStringList { "$900.00|$2,100.00" } << QStringList { "|+1,200.00" };
        QTest::newRow("amount down, in parentheses")
            << QVector<Inputs> { { { "txtIncome0", "($50.50)" } } }
            << QStringList { "Current Income: Wages - Husband" }
            << QStringList { "$5,000.00|($50.50)" } << QStringList { "|-5,050.50" };
        QTest::newRow("tab order, not key order")
            << QVector<Inputs> { { { "dtHusbandDOB", "1/2/1960" }, { "txtOther0", "6.5" },
                   { "txtIncome0", "5000" } } }
            << QStringList { "Current Income: Wages - Husband", "Other Details: Husband DOB",
                   "Other Details: investment return (%)" }
            << QStringList { "$5,000.00|5000", "4/11/1965|1/2/1960", "7|6.5" }
            << QStringList { "|0.00", "|", "|-0.50" };
        QTest::newRow("only the third plan differs")
            << QVector<Inputs> { {}, { { "txtOther0", "x" } } }
            << QStringList { "Other Details: investment return (%)" } << QStringList { "7|7|x" }
            << QStringList { "|0.00|" };
    }

    void inputRows()
    {
        QFETCH(QVector<Inputs>, changes);
        QFETCH(QStringList, labels);
        QFETCH(QStringList, values);
        QFETCH(QStringList, differences);
        QVector<ComparedPlan> plans { plan("A", {}) };
        for (const Inputs& change : changes)
            plans << plan(QString::number(plans.size()), change);

        const Comparison comparison(plans);
        QStringList gotLabels, gotValues, gotDifferences;
        for (const ComparisonRow& row : comparison.rows()) {
            QVERIFY(!row.fromSheet);
            gotLabels << row.label;
            gotValues << row.values.join('|');
            gotDifferences << row.differences.join('|');
        }
        QCOMPARE(gotLabels, labels);
        QCOMPARE(gotValues, values);
        QCOMPARE(gotDifferences, differences);
    }

    void sheetRows_data()
    {
        QTest::addColumn<QVector<QVector<SheetResult>>>("results"); // per plan
        QTest::addColumn<QStringList>("rows"); // label: values: differences
        const QVector<SheetResult> first { money("Total Income", "$60,000", 60000),
            money("Shortfall", "($1,234.56)", -1234.56), words("Conclusion", "On track") };
        QTest::newRow("numbers and words")
            << QVector<QVector<SheetResult>> { first,
                   { money("Total Income", "$61,200", 61200), money("Shortfall", "$0", 0),
                       words("Conclusion", "Short") } }
            << QStringList { "Total Income: $60,000|$61,200: |+1,200.00",
                   "Shortfall: ($1,234.56)|$0: |+1,234.56", "Conclusion: On track|Short: |" };
        QTest::newRow("a plan that failed has empty cells")
            << QVector<QVector<SheetResult>> { {}, first }
            << QStringList { "Total Income: |$60,000: |", "Shortfall: |($1,234.56): |",
                   "Conclusion: |On track: |" };
        QTest::newRow("labels the sheet computes differently")
            << QVector<QVector<SheetResult>> { { words("Surplus at 90", "yes") },
                   { words("Surplus at 90", "yes") }, { words("Shortfall at 85", "no") } }
            << QStringList { "Surplus at 90 / Shortfall at 85: yes|yes|no: ||" };
    }

    void sheetRows()
    {
        QFETCH(QVector<QVector<SheetResult>>, results);
        QFETCH(QStringList, rows);
        QVector<ComparedPlan> plans;
        for (const QVector<SheetResult>& result : results)
            plans << plan(QString::number(plans.size()), {}, result);

        const Comparison comparison(plans);
        QStringList got;
        for (const ComparisonRow& row : comparison.rows()) {
            QVERIFY(row.fromSheet);
            got << row.label + ": " + row.values.join('|') + ": " + row.differences.join('|');
        }
        QCOMPARE(got, rows);
    }

    void copies_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("tab-separated")
            << "tsv"
            << QString("Item\tNow\tRetire \"early\"\tΔ Retire \"early\"\n"
                       "Current Expenses: Interest Expense — Mortgage\t$900.00\t$2,100.00\t"
                       "+1,200.00\n"
                       "Total Income\t$60,000\t$61,200\t+1,200.00\n"
                       "Years left\tabout 3  years\tnone\t\n");
        QTest::newRow("comma-separated")
            << "csv"
            << QString("Item,Now,\"Retire \"\"early\"\"\",\"Δ Retire \"\"early\"\"\"\r\n"
                       "Current Expenses: Interest Expense — Mortgage,$900.00,\"$2,100.00\","
                       "\"+1,200.00\"\r\n"
                       "Total Income,\"$60,000\",\"$61,200\",\"+1,200.00\"\r\n"
                       "Years left,\"about 3\n\tyears\",none,\r\n");
    }

    void copies()
    {
        QFETCH(QString, format);
        QFETCH(QString, text);
        const QVector<ComparedPlan> plans {
            plan("Now", {},
                { money("Total Income", "$60,000", 60000),
                    words("Years left", "about 3\n\tyears") }),
            plan("Retire \"early\"", { { "txtExpense21", "$2,100.00" } },
                { money("Total Income", "$61,200", 61200), words("Years left", "none") }),
        };
        const Comparison comparison(plans);
        QCOMPARE(comparison.planNames(), QStringList({ "Now", "Retire \"early\"" }));
        QCOMPARE(format == "tsv" ? comparison.toTsv() : comparison.toCsv(), text);
    }
};

QTEST_GUILESS_MAIN(TestComparison)
#include "tst_comparison.moc"
