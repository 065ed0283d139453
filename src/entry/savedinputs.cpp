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

void SavedInputs::flush()
{
    SettingsStore::flush();
    reportFailure();
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
