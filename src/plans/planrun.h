#pragma once

// Stand-in with the agreed interface until the run of a plan lands; replaced by that branch.

#include <QHash>
#include <QString>
#include <QVector>
#include <optional>

class SpreadsheetOffice;

struct PlanOutputs {
    QString xls, pdf, png;
};

struct SheetResult {
    QString label;
    QString text;
    std::optional<double> number;
};

struct PlanRunResult {
    bool succeeded = false;
    QString failedStep;
    QString error;
    QVector<SheetResult> results;
    QString resultWorkbook;
};

class PlanRun {
public:
    PlanRun(SpreadsheetOffice& office, QHash<QString, QString> inputs, PlanOutputs outputs,
        bool readResults);
    ~PlanRun();
    bool step();
    bool finished() const;
    const PlanRunResult& result() const;
    const PlanRunResult& runAll();
};
