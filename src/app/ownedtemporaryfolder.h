#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class QLockFile;

// A private folder (mode 0700, a name no one had) in a base folder, the system's temporary
// folder unless told, named after a prefix, removed when this object goes. A lock file inside names
// the program that owns it, so that the folders of a program that was killed can be told from a
// live program's and cleared away at a later start.
class OwnedTemporaryFolder final {
public:
    // prefix such as "ferrowynd-scratch": the folder is <base>/<prefix>-XXXXXX.
    explicit OwnedTemporaryFolder(const QString& prefix, const QString& base = QString());
    ~OwnedTemporaryFolder();
    OwnedTemporaryFolder(const OwnedTemporaryFolder&) = delete;
    OwnedTemporaryFolder& operator=(const OwnedTemporaryFolder&) = delete;

    bool isValid() const;
    QString errorString() const { return mFolder.errorString(); }
    QString path() const { return mFolder.path(); }
    QString filePath(const QString& name) const { return mFolder.filePath(name); }
    // Left in place when this object goes, for a process that may still write there.
    void keep() { mFolder.setAutoRemove(false); }

    // Removes the folders with these prefixes that belong to this user and whose owning program
    // has ended; never a live program's, nor one whose owner cannot be told. How many went.
    static int removeAbandoned(const QStringList& prefixes, const QString& base = QString());

private:
    QTemporaryDir mFolder;
    // Released before the folder goes.
    std::unique_ptr<QLockFile> mOwner;
};
