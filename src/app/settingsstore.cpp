#include "settingsstore.h"

#include "settingsfile.h"
#include "settingswriter.h"

#include <QCoreApplication>
#include <memory>

namespace {

std::unique_ptr<SettingsWriter>& writerInstance()
{
    static std::unique_ptr<SettingsWriter> instance;
    return instance;
}

// Runs while the application object ends, when the settings classes still work.
void endWriter()
{
    writerInstance().reset();
}

} // namespace

SettingsWriter& SettingsStore::writer()
{
    std::unique_ptr<SettingsWriter>& instance = writerInstance();
    if (!instance) {
        instance = std::make_unique<SettingsWriter>(&SettingsFile::write);
        qAddPostRoutine(endWriter);
    }
    return *instance;
}

QString SettingsStore::read(const QString& key)
{
    if (const std::optional<QString> unwritten = writer().unwritten(key))
        return *unwritten;
    return SettingsFile::read(key);
}

void SettingsStore::write(const QString& key, const QString& value)
{
    writer().write(key, value);
}

bool SettingsStore::flush()
{
    return writer().flush();
}

QString SettingsStore::fileName()
{
    return SettingsFile::fileName();
}
