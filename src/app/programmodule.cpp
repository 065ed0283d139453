#include "programmodule.h"

#include "apperror.h"

#include <QFileInfo>
#include <QHash>
#include <QMutex>
#include <dlfcn.h>

namespace {

QString programFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

// dlopen() reads the library search path of the object that calls it: this program's.
void* openModule(const QString& fileName, QString& reason)
{
    const QString beside
        = programFolder() + QStringLiteral("/" FERROWYND_MODULE_FOLDER "/") + fileName;
    const QString path = QFileInfo::exists(beside) ? beside : fileName;
    // Every symbol bound now: a module that does not fit the program fails here, not later.
    void* handle = dlopen(path.toLocal8Bit().constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        reason = QString::fromLocal8Bit(dlerror());
    return handle;
}

} // namespace

void* programModuleEntry(const char* name, const char* entry)
{
    static QMutex guard;
    static QHash<QString, void*> loaded;
    const QMutexLocker lock(&guard);
    const QString fileName = QStringLiteral("lib%1.so").arg(QLatin1String(name));
    void*& handle = loaded[fileName];
    QString reason;
    if (!handle)
        handle = openModule(fileName, reason);
    void* const function = handle ? dlsym(handle, entry) : nullptr;
    if (handle && !function)
        reason = QStringLiteral("it has no %1").arg(QLatin1String(entry));
    if (!function)
        throw AppError(QStringLiteral("Ferrowynd could not load its part %1 (%2). "
                                      "Reinstalling Ferrowynd puts it back.")
                           .arg(fileName, reason));
    return function;
}
