#include "workbook/libreoffice/officeprofile.h"

#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

namespace {

QByteArray settingsOf(const QString& folder)
{
    QFile file(folder + QStringLiteral("/user/registrymodifications.xcu"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestOfficeProfile : public QObject {
    Q_OBJECT

private slots:
    void busyProfilesAreNeverShared()
    {
        QTemporaryDir base;
        std::vector<std::unique_ptr<OfficeProfile>> held;
        QStringList folders;
        for (int i = 0; i < OfficeProfile::poolSize; ++i) {
            held.push_back(std::make_unique<OfficeProfile>(base.path(), QStringLiteral("7.4")));
            QVERIFY(!held.back()->isTemporary());
            QVERIFY(held.back()->folder().startsWith(base.path()));
            folders << held.back()->folder();
        }
        folders.removeDuplicates();
        QCOMPARE(folders.size(), OfficeProfile::poolSize);

        QString temporaryFolder;
        {
            OfficeProfile extra(base.path(), QStringLiteral("7.4"));
            QVERIFY(extra.isTemporary());
            QVERIFY(!folders.contains(extra.folder()));
            QVERIFY(!settingsOf(extra.folder()).isEmpty());
            temporaryFolder = extra.folder();
        }
        QVERIFY(!QFile::exists(temporaryFolder));

        // A freed profile is taken again.
        const QString freed = held[1]->folder();
        held[1].reset();
        OfficeProfile again(base.path(), QStringLiteral("7.4"));
        QCOMPARE(again.folder(), freed);
    }

    void lockOfADeadProgramIsTakenOver()
    {
        QTemporaryDir base;
        QProcess gone;
        gone.start(QStringLiteral("true"));
        QVERIFY(gone.waitForStarted(10000));
        const qint64 deadPid = gone.processId();
        QVERIFY(gone.waitForFinished(10000));
        QFile lock(base.filePath(QStringLiteral("profile-0.lock")));
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QByteArray::number(deadPid) + "\nferrowynd\n"
            + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        OfficeProfile profile(base.path(), QStringLiteral("7.4"));
        QCOMPARE(profile.folder(), base.filePath(QStringLiteral("profile-0")));
    }

    void seedIsWrittenOnceAndRenewedForAnotherVersion()
    {
        QTemporaryDir base;
        const QString folder = base.filePath(QStringLiteral("p"));
        OfficeProfile::seed(folder, QStringLiteral("7.4"));
        // What the settings do is tested against a running office.
        QVERIFY(settingsOf(folder).contains("<value>7.4</value>"));

        // What the office adds to its settings stays while the seed is there.
        QFile file(folder + QStringLiteral("/user/registrymodifications.xcu"));
        QVERIFY(file.open(QIODevice::Append));
        file.write("<!-- the office's own -->\n");
        file.close();
        QFile other(folder + QStringLiteral("/user/kept"));
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.close();
        OfficeProfile::seed(folder, QStringLiteral("7.4"));
        QVERIFY(settingsOf(folder).contains("the office's own"));
        QVERIFY(QFile::exists(folder + QStringLiteral("/user/kept")));

        // Another office version starts from a clean profile.
        OfficeProfile::seed(folder, QStringLiteral("7.5"));
        QVERIFY(settingsOf(folder).contains("<value>7.5</value>"));
        QVERIFY(!settingsOf(folder).contains("the office's own"));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/user/kept")));
    }
};

QTEST_MAIN(TestOfficeProfile)
#include "tst_officeprofile.moc"
