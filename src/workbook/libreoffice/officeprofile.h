#pragma once

#include <QString>
#include <memory>

class QLockFile;
class OwnedTemporaryFolder;

// A private LibreOffice user profile, held for one office's lifetime. Two offices must never
// share one: the second would hand its work to the first and exit. So a small pool of per-user
// profiles is kept, each guarded by a lock file, with a temporary profile when all are busy.
class OfficeProfile final {
public:
    // baseFolder empty: the pool lives under the program's application data folder.
    // officeVersion is written into the profile so the office skips its first-start work.
    OfficeProfile(const QString& baseFolder, const QString& officeVersion);
    ~OfficeProfile();
    OfficeProfile(const OfficeProfile&) = delete;
    OfficeProfile& operator=(const OfficeProfile&) = delete;

    QString folder() const { return mFolder; }
    bool isTemporary() const { return mTemporary != nullptr; }

    // The settings file the office reads at start, with the items that make a start quick,
    // saving free of lock files, and a visible view possible.
    static QByteArray seededSettings(const QString& officeVersion);
    // Writes seededSettings() into the profile unless it already carries them.
    static void seed(const QString& folder, const QString& officeVersion);

    static constexpr int poolSize = 3;

private:
    QString mFolder;
    std::unique_ptr<QLockFile> mLock;
    std::unique_ptr<OwnedTemporaryFolder> mTemporary;
};
