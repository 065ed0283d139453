#include "settingsstore.h"

#include "apperror.h"
#include "product.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <memory>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// An empty application name makes QSettings use the organisation's own file.
std::unique_ptr<QSettings> openStore()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, Product::settingsOrganization, QString());
}

// A writer killed between creating the settings lock and writing its owner into it leaves an
// empty lock that cannot be proved stale, and the next write would wait half a minute for it.
// A live writer holds a native lock on its lock file from right after creating it, as the
// settings' own stale-lock removal relies on: an empty lock that nobody holds is an orphan.
void dropOrphanedLock(const QString& settingsFile)
{
    constexpr qint64 creationGraceMs = 5;
    const QString path = settingsFile + QStringLiteral(".lock");
    const QFileInfo lock(path);
    if (!lock.isFile() || lock.size() != 0
        || lock.lastModified().msecsTo(QDateTime::currentDateTime()) <= creationGraceMs)
        return;
    const QByteArray native = QFile::encodeName(path);
    const int descriptor = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0)
        return;
    struct stat info { };
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0 && ::fstat(descriptor, &info) == 0
        && info.st_size == 0)
        ::unlink(native.constData());
    ::close(descriptor);
}

QString groupKey(const QString& key)
{
    return Product::settingsSection + QLatin1Char('/') + key;
}

} // namespace

QString SettingsStore::read(const QString& key)
{
    return openStore()->value(groupKey(key)).toString();
}

void SettingsStore::write(const QString& key, const QString& value)
{
    const auto settings = openStore();
    dropOrphanedLock(settings->fileName());
    settings->setValue(groupKey(key), value);
    settings->sync();
    // A FormatError only says that the old file did not parse; the write itself went through.
    if (settings->status() == QSettings::AccessError)
        throw AppError(
            QStringLiteral("The settings file %1 could not be written.").arg(settings->fileName()));
}

QString SettingsStore::fileName()
{
    return openStore()->fileName();
}
