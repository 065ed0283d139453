#include "savedinputs.h"

#include "app/errorreport.h"
#include "app/errortrap.h"
#include "app/settingsstore.h"

namespace {

// The change handlers have a single statement.
constexpr int changeLine = 100;

} // namespace

void SavedInputs::store(const QString& key, const QString& value, const QString& procedure)
{
    try {
        SettingsStore::write(key, value);
        mFailing = false;
    } catch (...) {
        if (mFailing)
            return;
        mFailing = true;
        showErrorReport(describeCurrentException(), procedure, changeLine);
    }
}

QString SavedInputs::read(const QString& key) const
{
    return SettingsStore::read(key);
}
