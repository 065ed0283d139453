#pragma once

#include <QHash>
#include <QString>

// The per-user settings file itself: section "Ferrowynd" of the organisation "Ostrivane" file.
// Every call opens the file afresh and waits for the disk. Settings objects of one file share
// their unwritten values, so only one call at a time in the process touches the file: a read
// never ends up writing values that another thread has set but not yet synced.
class SettingsFile final {
public:
    // An absent key reads as the empty text.
    static QString read(const QString& key);
    // The same in another section of the file, such as the windows' places.
    static QString readIn(const QString& section, const QString& key);
    // Puts all values into the file at once and on disk; the file is replaced as a whole, so it
    // holds either all of them or none. Throws AppError when the file could not be written.
    static void write(const QHash<QString, QString>& values);
    static void writeIn(const QString& section, const QHash<QString, QString>& values);
    static QString fileName();

    // While one lives, the reads of its thread share one opening of the file instead of opening
    // it afresh each: for many values read in a row, as the start does. The file's values are
    // those it held when the batch began, or when this process last opened or wrote it since.
    class ReadBatch final {
    public:
        ReadBatch();
        ~ReadBatch();
        ReadBatch(const ReadBatch&) = delete;
        ReadBatch& operator=(const ReadBatch&) = delete;

    private:
        bool mOwnsStore = false;
    };
};
