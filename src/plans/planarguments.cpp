#include "planarguments.h"

#include <algorithm>

namespace {

const QString planOption = QStringLiteral("--plan");
const QString compareOption = QStringLiteral("--compare");

QString* outputOf(PlanArguments& arguments, const QString& option)
{
    if (option == QLatin1String("--xls"))
        return &arguments.xls;
    if (option == QLatin1String("--pdf"))
        return &arguments.pdf;
    if (option == QLatin1String("--png"))
        return &arguments.png;
    if (option == QLatin1String("--csv"))
        return &arguments.csv;
    return nullptr;
}

bool isPlanWord(const QString& word)
{
    const QString option = word.section(QLatin1Char('='), 0, 0);
    return option == planOption || option == compareOption || option == QLatin1String("--xls")
        || option == QLatin1String("--pdf") || option == QLatin1String("--png")
        || option == QLatin1String("--csv");
}

PlanArgumentsReading refused(const QString& reason)
{
    return { std::nullopt, reason };
}

} // namespace

PlanArgumentsReading readPlanArguments(const QStringList& words)
{
    const QStringList rest = words.mid(1);
    if (std::none_of(rest.begin(), rest.end(), isPlanWord))
        return {};

    PlanArguments arguments;
    bool planNamed = false;
    bool compareNamed = false;
    for (qsizetype at = 0; at < rest.size(); ++at) {
        const QString& word = rest.at(at);
        if (word == compareOption) {
            compareNamed = true;
            continue;
        }
        if (!word.startsWith(QLatin1Char('-')) || word == QLatin1String("-")) {
            if (!planNamed && !compareNamed)
                return refused(QStringLiteral("%1 is not an option").arg(word));
            arguments.plans << word;
            continue;
        }
        const qsizetype equals = word.indexOf(QLatin1Char('='));
        const QString option = equals < 0 ? word : word.left(equals);
        QString* output = outputOf(arguments, option);
        if (!output && option != planOption)
            return refused(QStringLiteral("unknown option %1").arg(word));
        QString value;
        if (equals >= 0)
            value = word.mid(equals + 1);
        else if (at + 1 < rest.size())
            value = rest.at(++at);
        if (value.isEmpty())
            return refused(QStringLiteral("%1 needs a file name").arg(option));
        if (output) {
            if (!output->isEmpty())
                return refused(QStringLiteral("%1 is given twice").arg(option));
            *output = value;
        } else {
            planNamed = true;
            arguments.plans << value;
        }
    }

    if (planNamed && compareNamed)
        return refused(QStringLiteral("--plan and --compare do not go together"));
    if (!planNamed && !compareNamed)
        return refused(QStringLiteral("--xls, --pdf, --png and --csv need --plan or --compare"));
    if (planNamed && !arguments.csv.isEmpty())
        return refused(QStringLiteral("--csv goes with --compare"));
    if (compareNamed) {
        arguments.mode = PlanArguments::Mode::Compare;
        if (!arguments.xls.isEmpty() || !arguments.pdf.isEmpty() || !arguments.png.isEmpty())
            return refused(QStringLiteral("--xls, --pdf and --png go with --plan"));
        if (arguments.plans.isEmpty())
            return refused(QStringLiteral("--compare needs 2 to 6 plans"));
    }
    return { arguments, QString() };
}

QString planUsage()
{
    return QStringLiteral(
        "Plans without a window (no display needed):\n"
        "  --plan <file|folder> [<file|folder> ...] [--xls <out>] [--pdf <out>] [--png <out>]\n"
        "      Runs each plan (a folder: every *.ferrowynd in it) through the template. With\n"
        "      one plan file the outputs name files; with several plans or a folder they name\n"
        "      folders, and each output takes its plan's name (retire-62.ferrowynd ->\n"
        "      retire-62.xls). Without outputs, prints the sheet's results: label<TAB>value\n"
        "      (with several plans: plan<TAB>label<TAB>value). --plan may be repeated.\n"
        "  --compare <file|folder> ... [--csv <out.csv>]\n"
        "      Runs 2 to 6 plans and prints the comparison table, tab-separated, or writes it\n"
        "      as CSV: the inputs that differ, then the sheet's results, each plan's value\n"
        "      followed by its difference to the first plan.\n"
        "  Progress and errors go to standard error. Exit status: 0 when every plan succeeded,\n"
        "  1 when one failed, 2 for a usage error.\n");
}
