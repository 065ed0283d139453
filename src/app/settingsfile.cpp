#include "settingsfile.h"

#include "apperror.h"
#include "product.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSettings>
#include <memory>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QMutex fileMutex;
// The opening of the file that the reads of this thread share while a ReadBatch lives.
thread_local QSettings* batchStore = nullptr;

// An empty application name makes QSettings use the organisation's own file.
std::unique_ptr<QSettings> openStore()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, Product::settingsOrganization, QString());
}

// A writer killed between creating a lock file and writing its owner into it leaves an empty
// lock that cannot be proved stale, and the next write would wait half a minute for it. A live
// writer holds a native lock on its lock file from right after creating it, as the settings' own
// stale-lock removal relies on: an empty lock that nobody holds is an orphan.
void dropOrphanedLock(const QString& path)
{
    constexpr qint64 creationGraceMs = 5;
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

// Removing a stale settings lock takes a lock of its own, named after it with ".rmlock"; a
// writer killed while removing one leaves that lock behind, and so on down a chain.
void dropOrphanedLocks(const QString& settingsFile)
{
    for (QString lock = settingsFile + QStringLiteral(".lock"); QFileInfo::exists(lock);
         lock += QStringLiteral(".rmlock"))
        dropOrphanedLock(lock);
}

QString systemMessage(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// The settings classes give no reason for a failed write; the system does, asked the same way.
QString whyNotWritable(const QString& file)
{
    const QFileInfo info(file);
    const QString folder = info.absolutePath();
    QString level;
    for (const QString& part : folder.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        level += QLatin1Char('/') + part;
        if (!QFileInfo(level).isDir() && ::mkdir(QFile::encodeName(level).constData(), 0700) != 0)
            return QStringLiteral("%1 (%2)").arg(systemMessage(errno), level);
    }
    if (info.exists() && ::access(QFile::encodeName(file).constData(), W_OK) != 0)
        return systemMessage(errno);
    if (::access(QFile::encodeName(folder).constData(), W_OK) != 0)
        return QStringLiteral("%1 (%2)").arg(systemMessage(errno), folder);
    return QStringLiteral("the new file could not be put in place");
}

// The file holds the household's incomes and balances: readable by the user alone from its
// first byte. A replaced file keeps the mode of the one it replaces.
void makePrivate(const QString& file)
{
    const QByteArray native = QFile::encodeName(file);
    const int descriptor = ::open(native.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
    if (descriptor >= 0)
        ::close(descriptor);
    struct stat info { };
    if (::stat(native.constData(), &info) == 0 && (info.st_mode & 0077) != 0)
        ::chmod(native.constData(), info.st_mode & 0700);
}

QString groupKey(const QString& section, const QString& key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString SettingsFile::read(const QString& key)
{
    return readIn(Product::settingsSection, key);
}

QString SettingsFile::readIn(const QString& section, const QString& key)
{
    const QMutexLocker lock(&fileMutex);
    if (batchStore)
        return batchStore->value(groupKey(section, key)).toString();
    return openStore()->value(groupKey(section, key)).toString();
}

SettingsFile::ReadBatch::ReadBatch()
{
    const QMutexLocker lock(&fileMutex);
    // An inner batch reads through the outer one's.
    if (batchStore)
        return;
    batchStore = openStore().release();
    mOwnsStore = true;
}

SettingsFile::ReadBatch::~ReadBatch()
{
    if (!mOwnsStore)
        return;
    const QMutexLocker lock(&fileMutex);
    delete batchStore;
    batchStore = nullptr;
}

void SettingsFile::write(const QHash<QString, QString>& values)
{
    writeIn(Product::settingsSection, values);
}

void SettingsFile::writeIn(const QString& section, const QHash<QString, QString>& values)
{
    const QMutexLocker lock(&fileMutex);
    const auto settings = openStore();
    dropOrphanedLocks(settings->fileName());
    // Where no new file can be made beside the old one, failing beats rewriting it in place.
    settings->setAtomicSyncRequired(true);
    if (QDir().mkpath(QFileInfo(settings->fileName()).absolutePath()))
        makePrivate(settings->fileName());
    for (auto value = values.cbegin(); value != values.cend(); ++value)
        settings->setValue(groupKey(section, value.key()), value.value());
    settings->sync();
    // A FormatError only says that the old file did not parse; the write itself went through.
    if (settings->status() == QSettings::AccessError)
        throw AppError(QStringLiteral("The settings file %1 could not be written: %2.")
                           .arg(settings->fileName(), whyNotWritable(settings->fileName())));
}

QString SettingsFile::fileName()
{
    const QMutexLocker lock(&fileMutex);
    return openStore()->fileName();
}
