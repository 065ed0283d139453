#include "savedinputs.h"

#include "app/errorreport.h"
#include "app/settingsstore.h"
#include "app/settingswriter.h"

namespace {

// The change handlers have a single statement.
constexpr int changeLine = 100;

} // namespace

SavedInputs::SavedInputs()
{
    QObject::connect(
        &SettingsStore::writer(), &SettingsWriter::failed, &mNotices, [this] { reportFailure(); });
}

SavedInputs::~SavedInputs()
{
    flush();
}

void SavedInputs::store(const QString& key, const QString& value, const QString& procedure)
{
    mProcedures.insert(key, procedure);
    SettingsStore::write(key, value);
}

QString SavedInputs::read(const QString& key) const
{
    return SettingsStore::read(key);
}

bool SavedInputs::flush()
{
    const bool written = SettingsStore::flush();
    reportFailure();
    return written;
}

std::optional<QString> SavedInputs::unsavedReason() const
{
    const SettingsWriter& writer = SettingsStore::writer();
    if (writer.written() >= writer.handedIn())
        return std::nullopt;
    if (const auto failure = writer.standingFailure())
        return failure->description;
    return QStringLiteral("The settings file %1 was not written.").arg(SettingsStore::fileName());
}

void SavedInputs::reportFailure()
{
    const auto failure = SettingsStore::writer().takeUnreportedFailure();
    if (!failure)
        return;
    const auto procedure = mProcedures.constFind(failure->key);
    if (procedure != mProcedures.constEnd())
        showErrorReport(failure->description, *procedure, changeLine);
}
