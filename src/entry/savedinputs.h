#pragma once

#include <QString>

// Writes each input to the settings store the moment it changes. A write that fails never
// costs the field its text: the failure is reported once, and not again until a write has
// succeeded, so typing into a field of an unwritable store does not bring a message per key.
class SavedInputs final {
public:
    // procedure names the change handler in the report.
    void store(const QString& key, const QString& value, const QString& procedure);
    QString read(const QString& key) const;

    bool failing() const { return mFailing; }

private:
    bool mFailing = false;
};
