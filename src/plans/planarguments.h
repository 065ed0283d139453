#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line asks of plans, read without touching a file:
//   --plan FILE|FOLDER [--plan ... | FILE|FOLDER ...] [--xls OUT] [--pdf OUT] [--png OUT]
//   --compare FILE|FOLDER ... [--csv OUT]
// Options take their value as the next word or after "=".
struct PlanArguments {
    enum class Mode { Run, Compare };
    Mode mode = Mode::Run;
    QStringList plans; // files and folders, as named
    QString xls, pdf, png, csv;
};

struct PlanArgumentsReading {
    std::optional<PlanArguments> arguments; // nothing when the words ask for no plan work
    QString usageError; // set when the words are not a valid plan command
};

// The program's name is the first word.
PlanArgumentsReading readPlanArguments(const QStringList& words);

// The usage lines that --help shows and a usage error repeats.
QString planUsage();
