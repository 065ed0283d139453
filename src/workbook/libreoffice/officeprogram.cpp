#include "officeprogram.h"

#include "app/apperror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

const QString defaultProgram = QStringLiteral(FERROWYND_OFFICE_PROGRAM_DIR "/soffice.bin");

} // namespace

QString officeProgramPath()
{
    const QString overridden = qEnvironmentVariable("FERROWYND_SOFFICE");
    if (!overridden.isEmpty())
        return overridden;
    // The shell wrapper on PATH is a link into the program folder; soffice.bin is started
    // directly, because the wrapper's own child would outlive a kill of the wrapper.
    const QString wrapper = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (!wrapper.isEmpty()) {
        const QFileInfo target(QFileInfo(wrapper).canonicalFilePath());
        const QString program = target.absolutePath() + QStringLiteral("/soffice.bin");
        if (QFileInfo(program).isExecutable())
            return program;
    }
    return defaultProgram;
}

QString requireOfficeProgram()
{
    const QString program = officeProgramPath();
    const QFileInfo info(program);
    if (!info.isFile() || !info.isExecutable())
        throw AppError(
            QStringLiteral("LibreOffice Calc is not installed: %1 was not found.").arg(program));
    return program;
}

QString installedOfficeVersion(const QString& programPath)
{
    // Reading the 2 MB registry costs a few milliseconds at every office start; a version
    // that changes under a running program is put right by the office itself.
    static QHash<QString, QString> known;
    const auto found = known.constFind(programPath);
    if (found != known.constEnd())
        return *found;
    const QString registry
        = QFileInfo(programPath).absolutePath() + QStringLiteral("/../share/registry/main.xcd");
    QFile file(registry);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    static const QRegularExpression version(
        QStringLiteral("oor:name=\"ooSetupVersion\">\\s*<value>([^<]+)</value>"));
    const QRegularExpressionMatch match = version.match(QString::fromUtf8(file.readAll()));
    const QString result = match.hasMatch() ? match.captured(1).trimmed() : QString();
    known.insert(programPath, result);
    return result;
}
