#pragma once

#include "planrun.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// One plan of a comparison: its name, its inputs as the store holds them, and its run's result.
struct ComparedPlan {
    QString name; // PlanFile::displayName, or "Current fields"
    QHash<QString, QString> inputs;
    PlanRunResult result;
};

struct ComparisonRow {
    QString label; // an input's label (with its frame and heading), or the sheet's label
    bool fromSheet = false;
    QStringList values; // one per plan, as stored / as the sheet formats them
    QStringList differences; // one per plan; "" for the first plan and where no number
};

// The table that compares plans: first the inputs whose stored texts differ between the plans,
// in the window's tab order, then every result the sheet gives, each with its difference to the
// first plan. The copies (toTsv, toCsv) hold one line per row: the item, then for every plan its
// value, each plan after the first followed by its difference to the first ("Δ name").
class Comparison final {
public:
    explicit Comparison(const QVector<ComparedPlan>& plans);

    QStringList planNames() const { return mPlanNames; }
    const QVector<ComparisonRow>& rows() const { return mRows; }
    // The header and the rows as cells, in the copies' column order.
    QVector<QStringList> table() const;
    // Tab-separated lines ending in "\n"; tabs and line breaks inside a cell become spaces.
    QString toTsv() const;
    // Comma-separated lines ending in "\r\n"; cells quoted where they must be.
    QString toCsv() const;

    // The signed difference with two decimals under the default locale: "+1,200.00",
    // "-35.50", "0.00".
    static QString formatDifference(double difference);
    // "Current Expenses: Interest Expense — Mortgage" for the key "txtExpense21".
    static QString inputLabel(const QString& key);

private:
    void addInputRows(const QVector<ComparedPlan>& plans);
    void addSheetRows(const QVector<ComparedPlan>& plans);

    QStringList mPlanNames;
    QVector<ComparisonRow> mRows;
};
