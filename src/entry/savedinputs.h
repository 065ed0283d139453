#pragma once

#include "app/settingsstore.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <optional>

// Writes each input to the settings store the moment it changes, without waiting for the disk:
// the store's writer puts it there a moment later. A write that fails never costs the field its
// text: the failure is reported once, on the window's thread, under the change handler whose
// value could not be written (a different failure is reported too), and not again until a write
// has gone through; the next change tries again.
class SavedInputs final {
public:
    SavedInputs();
    // Waits until everything stored is on disk.
    ~SavedInputs();
    SavedInputs(const SavedInputs&) = delete;
    SavedInputs& operator=(const SavedInputs&) = delete;

    // procedure names the change handler in the report.
    void store(const QString& key, const QString& value, const QString& procedure);
    // Sees what was stored even before it is on disk.
    QString read(const QString& key) const;
    // Reads of this thread share one opening of the settings file while one lives.
    using ReadBatch = SettingsStore::ReadBatch;
    // Waits until everything stored so far is on disk, and reports a failure not yet told.
    // False when stored values could not be put on disk.
    bool flush();
    // Why the values stored are not all on disk: the file and the reason; nothing when they are.
    std::optional<QString> unsavedReason() const;

private:
    void reportFailure();

    QHash<QString, QString> mProcedures;
    // Receives the writer's failure notices on the window's thread.
    QObject mNotices;
};
