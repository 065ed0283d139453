#pragma once

#include <QString>

// The per-user settings store: text values in section "Ferrowynd" of the organisation
// "Ostrivane" file. Every write reaches the disk at once.
class SettingsStore final {
public:
    // An absent key reads as the empty text.
    static QString read(const QString& key);
    // Throws AppError when the value could not be written to disk.
    static void write(const QString& key, const QString& value);
    // Path of the backing file, for messages and tests.
    static QString fileName();
};
