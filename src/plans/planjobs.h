#pragma once

#include "planarguments.h"
#include "planrun.h"

#include <QString>
#include <QStringList>
#include <QVector>

// One plan the command line runs: its file, the name it is reported by, and where its outputs go.
struct PlanJob {
    QString path;
    QString name;
    PlanOutputs outputs;
};

struct PlanJobList {
    QVector<PlanJob> jobs;
    QStringList outputFolders; // to be made before the first run
    QStringList faults; // folders that hold no plan: reported, the others still run
    QString usageError;
};

// The plans named, a folder standing for every *.ferrowynd in it by name. With one plan file the
// outputs name files (or a folder to put it in); with several plans or a folder they name
// folders, and each output takes its plan's base name.
PlanJobList planJobs(const PlanArguments& arguments);

// How many offices run a batch of this many plans: two when the machine has more than one
// processor to give them and the batch is large enough to pay for starting the second.
int officesForBatch(qsizetype planCount, int processors);
// The processors this program may run on.
int usableProcessors();
