#include "settingsstore.h"

#include "apperror.h"
#include "product.h"

#include <QSettings>
#include <memory>

namespace {

// An empty application name makes QSettings use the organisation's own file.
std::unique_ptr<QSettings> openStore()
{
    return std::make_unique<QSettings>(
        QSettings::NativeFormat, QSettings::UserScope, Product::settingsOrganization, QString());
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
