#include "app/apperror.h"
#include "app/folders.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// The private folder lives under QDir::tempPath(), which follows TMPDIR; each case points TMPDIR
// at a fresh folder so cases do not see each other's leftovers.
class TestFolders : public QObject {
    Q_OBJECT

    QString privatePathIn(const QTemporaryDir& base) const
    {
        return base.path() + QStringLiteral("/ferrowynd-") + QString::number(::getuid());
    }

private slots:
    void init() { qunsetenv("TEMP"); }

    void tempWinsWhenSetAndNotEmpty()
    {
        qputenv("TEMP", "/some/where");
        QCOMPARE(temporaryFolder(), QStringLiteral("/some/where"));
        QCOMPARE(temporaryFile("template.xlt"), QStringLiteral("/some/where/template.xlt"));
    }

    void unsetOrEmptyTempGivesPrivateFolder_data()
    {
        QTest::addColumn<bool>("emptyTemp");
        QTest::newRow("unset") << false;
        QTest::newRow("empty") << true;
    }

    void unsetOrEmptyTempGivesPrivateFolder()
    {
        QFETCH(bool, emptyTemp);
        if (emptyTemp)
            qputenv("TEMP", "");
        QTemporaryDir base;
        qputenv("TMPDIR", base.path().toLocal8Bit());
        const QString folder = temporaryFolder();
        QCOMPARE(folder, privatePathIn(base));
        QVERIFY(!temporaryFile("temp.bmp").startsWith(QStringLiteral("/temp.bmp")));
        struct stat info { };
        QCOMPARE(::lstat(QFile::encodeName(folder).constData(), &info), 0);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
        // A second call reuses the folder.
        QCOMPARE(temporaryFolder(), folder);
    }

    void loosePermissionsAreTightened()
    {
        QTemporaryDir base;
        qputenv("TMPDIR", base.path().toLocal8Bit());
        const QString folder = privatePathIn(base);
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
        QCOMPARE(temporaryFolder(), folder);
        struct stat info { };
        ::lstat(QFile::encodeName(folder).constData(), &info);
        QCOMPARE(info.st_mode & 0777, mode_t(0700));
    }

    void linkOrFileIsRefused_data()
    {
        QTest::addColumn<bool>("asLink");
        QTest::newRow("link to a folder") << true;
        QTest::newRow("plain file") << false;
    }

    void linkOrFileIsRefused()
    {
        QFETCH(bool, asLink);
        QTemporaryDir base;
        QTemporaryDir elsewhere;
        qputenv("TMPDIR", base.path().toLocal8Bit());
        const QString folder = privatePathIn(base);
        if (asLink) {
            QVERIFY(QFile::link(elsewhere.path(), folder));
        } else {
            QFile file(folder);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY_THROWS_EXCEPTION(AppError, temporaryFolder());
    }

    void foreignFolderIsRefused()
    {
        if (::getuid() != 0)
            QSKIP("only root can give a folder to another user");
        QTemporaryDir base;
        qputenv("TMPDIR", base.path().toLocal8Bit());
        const QString folder = privatePathIn(base);
        QVERIFY(QDir().mkdir(folder));
        QVERIFY(::chown(QFile::encodeName(folder).constData(), 65534, 65534) == 0);
        QVERIFY_THROWS_EXCEPTION(AppError, temporaryFolder());
    }

    void cleanupTestCase() { qunsetenv("TMPDIR"); }
};

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
