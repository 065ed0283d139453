#include "planjobs.h"

#include "planfile.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <sched.h>

namespace {

constexpr int fewestCompared = 2;
constexpr int mostCompared = 6;
// The second office pays for its start from this many plans on: with both processors free, 4 plans
// took a fifth less time on two offices (2 plans a tenth less); with the processors kept busy by
// other programs, two offices lost up to a sixth on small batches and came out even from 8 plans.
constexpr qsizetype fewestForTwoOffices = 4;

QString inFolder(const QString& folder, const QString& baseName, const QString& suffix)
{
    return QDir(folder).filePath(baseName + QLatin1Char('.') + suffix);
}

// Each output that is asked for: where it goes, and where it would go inside a folder.
void placeOutputs(PlanJobList& list, const PlanArguments& arguments, bool intoFolders)
{
    const QVector<QPair<QString, QString>> asked { { arguments.xls, QStringLiteral("xls") },
        { arguments.pdf, QStringLiteral("pdf") }, { arguments.png, QStringLiteral("png") } };
    for (const auto& [output, suffix] : asked) {
        if (output.isEmpty())
            continue;
        const bool folder = intoFolders || QFileInfo(output).isDir();
        if (folder)
            list.outputFolders << output;
        for (PlanJob& job : list.jobs) {
            const QString path = folder
                ? inFolder(output, QFileInfo(job.path).completeBaseName(), suffix)
                : output;
            if (suffix == QLatin1String("xls"))
                job.outputs.xls = path;
            else if (suffix == QLatin1String("pdf"))
                job.outputs.pdf = path;
            else
                job.outputs.png = path;
        }
    }
}

} // namespace

PlanJobList planJobs(const PlanArguments& arguments)
{
    PlanJobList list;
    bool folderNamed = false;
    for (const QString& named : arguments.plans) {
        if (!QFileInfo(named).isDir()) {
            list.jobs << PlanJob { named, PlanFile::displayName(named), {} };
            continue;
        }
        folderNamed = true;
        const QFileInfoList files = QDir(named).entryInfoList(
            { QStringLiteral("*.") + PlanFile::suffix }, QDir::Files, QDir::Name);
        if (files.isEmpty())
            list.faults << QStringLiteral("%1: no plan (*.%2) in this folder")
                               .arg(QDir::toNativeSeparators(named), PlanFile::suffix);
        for (const QFileInfo& file : files)
            list.jobs << PlanJob { file.filePath(), PlanFile::displayName(file.filePath()), {} };
    }

    if (arguments.mode == PlanArguments::Mode::Compare) {
        if (list.jobs.size() < fewestCompared || list.jobs.size() > mostCompared)
            list.usageError = QStringLiteral("--compare takes %1 to %2 plans, not %3")
                                  .arg(fewestCompared)
                                  .arg(mostCompared)
                                  .arg(list.jobs.size());
        return list;
    }

    const bool intoFolders = list.jobs.size() > 1 || folderNamed;
    const bool outputsAsked
        = !arguments.xls.isEmpty() || !arguments.pdf.isEmpty() || !arguments.png.isEmpty();
    if (intoFolders && outputsAsked) {
        // Two plans of one name would write the same output files.
        QSet<QString> baseNames;
        for (const PlanJob& job : list.jobs) {
            const QString baseName = QFileInfo(job.path).completeBaseName();
            if (baseNames.contains(baseName)) {
                list.usageError = QStringLiteral("two plans are called %1: their outputs would "
                                                 "overwrite each other")
                                      .arg(baseName);
                return list;
            }
            baseNames.insert(baseName);
        }
    }
    placeOutputs(list, arguments, intoFolders);
    return list;
}

int officesForBatch(qsizetype planCount, int processors)
{
    return processors > 1 && planCount >= fewestForTwoOffices ? 2 : 1;
}

int usableProcessors()
{
    cpu_set_t set;
    CPU_ZERO(&set);
    if (::sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    return CPU_COUNT(&set);
}
