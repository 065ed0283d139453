#pragma once

#include "planfields.h"
#include "sheetresults.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class SpreadsheetApplication;
class SpreadsheetOffice;

// Where a run writes its outputs; an empty path is not written. Each file is complete or absent.
struct PlanOutputs {
    QString xls, pdf, png;
};

struct PlanRunResult {
    bool succeeded = false;
    QString failedStep; // readable: "opening the template", "writing the PDF", ...
    QString error; // the description
    QVector<SheetResult> results; // SheetResults::rows() order (when results were asked for)
    QString resultWorkbook; // the computed .xls in the run folder; removed by the PlanRun
};

// One plan through the template on a session of the office, without a window: the template is
// filled with the plan's inputs, computed and saved, then written where asked and its results
// read. It runs a step at a time, each an office call or a few, so that a window can run it
// between events; a failing step ends the run, and what it opened is closed at once. A run
// dropped half-way closes and removes what it made; the office must outlive it.
class PlanRun final {
public:
    PlanRun(SpreadsheetOffice& office, QHash<QString, QString> inputs, PlanOutputs outputs,
        bool readResults);
    ~PlanRun(); // closes what it opened, removes its temporary files
    PlanRun(const PlanRun&) = delete;
    PlanRun& operator=(const PlanRun&) = delete;

    // Runs the next step; false when nothing is left.
    bool step();
    bool finished() const;
    const PlanRunResult& result() const;
    // Every step at once.
    const PlanRunResult& runAll();

    // The readable name of the step step() runs next; empty when finished.
    QString nextStepName() const;
    int stepCount() const { return int(mSteps.size()); }
    // Where the embedded template is read from; tests point it at a file of their own.
    void setTemplateResource(const QString& path) { mTemplateResource = path; }

private:
    struct Step {
        QString name;
        std::function<void()> body;
    };

    void planSteps();
    SpreadsheetApplication& app() const;
    void fail(const QString& stepName, const QString& description);
    // Ends the session and removes the run's temporary files; the result workbook stays.
    void release();

    SpreadsheetOffice& mOffice;
    PlanFields mFields;
    PlanOutputs mOutputs;
    bool mReadResults;
    QString mTemplateResource;
    QVector<Step> mSteps;
    int mNext = 0;
    bool mFinished = false;
    PlanRunResult mResult;

    std::unique_ptr<SpreadsheetApplication> mApp;
    int mWorkbook = 0;
    QString mTemplateFile;
    QString mPdfFile;
    QImage mPicture;
    bool mSaved = false;
};
