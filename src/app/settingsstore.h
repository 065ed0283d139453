#pragma once

#include "settingsfile.h"

#include <QString>

class SettingsWriter;

// The per-user settings store: text values in section "Ferrowynd" of the organisation
// "Ostrivane" file. A write is handed to the store's one writer thread and returns at once; it
// is on disk a moment later, or when flush() returns true.
class SettingsStore final {
public:
    // Sees the values written but not yet on disk. An absent key reads as the empty text.
    // Reading waits for the disk; the program reads only at start-up.
    static QString read(const QString& key);
    // Reads of this thread share one opening of the file while one lives (SettingsFile).
    using ReadBatch = SettingsFile::ReadBatch;
    static void write(const QString& key, const QString& value);
    // Waits until every value written so far is on disk. False when the file could not be
    // written: the values stay queued, and the next write or flush tries again.
    static bool flush();
    // Path of the backing file, for messages and tests.
    static QString fileName();
    // The writer, for its failure notices; it lives until the application object ends.
    static SettingsWriter& writer();
};
