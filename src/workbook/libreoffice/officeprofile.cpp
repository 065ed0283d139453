#include "officeprofile.h"

#include "app/apperror.h"
#include "app/filehelpers.h"
#include "app/ownedtemporaryfolder.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QSaveFile>
#include <QStandardPaths>

namespace {

const QString settingsFile = QStringLiteral("/user/registrymodifications.xcu");

QByteArray item(const char* path, const char* property, const QByteArray& value)
{
    return QByteArray("<item oor:path=\"") + path + "\"><prop oor:name=\"" + property
        + "\" oor:op=\"fuse\"><value>" + value + "</value></prop></item>\n";
}

// The two window-state nodes without which a visible Calc view aborts on the -nogui packages,
// whose sidebar and formula-bar UI files are missing.
QByteArray viewItems()
{
    return QByteArrayLiteral(
        "<item oor:path=\"/org.openoffice.Office.Views/Windows\"><node oor:name=\"scalc/10336\" "
        "oor:op=\"replace\"><prop oor:name=\"Visible\" oor:op=\"fuse\"><value>false</value>"
        "</prop></node></item>\n"
        "<item oor:path=\"/org.openoffice.Office.Views/Windows\"><node oor:name=\"scalc/26100\" "
        "oor:op=\"replace\"><node oor:name=\"UserData\"><prop oor:name=\"Data\" oor:op=\"fuse\" "
        "oor:type=\"xs:string\"><value>V2,H,20</value></prop></node></node></item>\n");
}

bool carriesSeed(const QString& folder, const QString& officeVersion)
{
    QFile file(folder + settingsFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = file.readAll();
    if (!officeVersion.isEmpty()
        && !text.contains(item("/org.openoffice.Setup/Product", "ooSetupLastVersion",
            officeVersion.toHtmlEscaped().toUtf8())
                              .trimmed()))
        return false;
    return text.contains(
        item("/org.openoffice.Office.Common/Misc", "UseLocking", "false").trimmed());
}

QString poolFolder(const QString& baseFolder)
{
    if (!baseFolder.isEmpty())
        return baseFolder;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    if (data.isEmpty())
        return QString();
    return data + QStringLiteral("/office");
}

} // namespace

OfficeProfile::OfficeProfile(const QString& baseFolder, const QString& officeVersion)
{
    const QString pool = poolFolder(baseFolder);
    if (!pool.isEmpty() && QDir().mkpath(pool)) {
        for (int slot = 0; slot < poolSize && !mLock; ++slot) {
            const QString folder = pool + QStringLiteral("/profile-%1").arg(slot);
            auto lock = std::make_unique<QLockFile>(folder + QStringLiteral(".lock"));
            // Only a dead owner makes a lock stale, however long a live one holds it.
            lock->setStaleLockTime(0);
            if (lock->tryLock(0)) {
                mLock = std::move(lock);
                mFolder = folder;
            }
        }
    }
    if (!mLock) {
        mTemporary = std::make_unique<OwnedTemporaryFolder>(QStringLiteral("ferrowynd-office"));
        if (!mTemporary->isValid())
            throw AppError(QStringLiteral("No profile folder for LibreOffice could be made: %1")
                               .arg(mTemporary->errorString()));
        mFolder = mTemporary->path();
    }
    seed(mFolder, officeVersion);
}

OfficeProfile::~OfficeProfile() = default;

QByteArray OfficeProfile::seededSettings(const QString& officeVersion)
{
    QByteArray text
        = QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                            "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
                            "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
                            "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n");
    // Without the last version the office runs its graphics self-tests at every start.
    if (!officeVersion.isEmpty())
        text += item("/org.openoffice.Setup/Product", "ooSetupLastVersion",
            officeVersion.toHtmlEscaped().toUtf8());
    // No document locking at all: no lock file beside a workbook, and none left by a killed
    // office to trouble a later save. (UseDocumentOOoLockFile only makes the office ignore
    // lock files; it still writes them.)
    text += item("/org.openoffice.Office.Common/Misc", "UseLocking", "false");
    text += viewItems();
    text += "</oor:items>\n";
    return text;
}

void OfficeProfile::seed(const QString& folder, const QString& officeVersion)
{
    if (carriesSeed(folder, officeVersion))
        return;
    // A profile from another office version is started afresh rather than migrated.
    QDir(folder + QStringLiteral("/user")).removeRecursively();
    if (!QDir().mkpath(folder + QStringLiteral("/user")))
        throw AppError(
            QStringLiteral("The LibreOffice profile folder %1 could not be made.").arg(folder));
    QSaveFile file(folder + settingsFile);
    bool written = false;
    try {
        OpenSaveFile(file);
        WriteAllBytes(file, seededSettings(officeVersion));
        written = file.commit();
    } catch (const AppError&) {
        // Told below in the profile's words; the file keeps the system's reason.
    }
    if (!written)
        throw AppError(QStringLiteral("The LibreOffice profile %1 could not be written: %2")
                           .arg(folder, file.errorString()));
}
