#include "app/apperror.h"
#include "app/folders.h"

#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

// The run's folder lives in TEMP, or under QDir::tempPath(), which follows TMPDIR; each case
// points them at a fresh folder so cases do not see each other's leftovers.
class TestFolders : public QObject {
    Q_OBJECT

    static mode_t modeOf(const QString& path)
    {
        struct stat info { };
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
            return 0;
        return info.st_mode;
    }

    static QStringList entriesOf(const QString& folder)
    {
        return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    }

private slots:
    void init()
    {
        removeTemporaryFolders();
        qunsetenv("TEMP");
    }

    void runFolderIsTheProgramsOwnInsideTemp_data()
    {
        QTest::addColumn<QString>("temp");
        QTest::newRow("TEMP set") << "set";
        QTest::newRow("TEMP unset") << "unset";
        QTest::newRow("TEMP empty") << "empty";
    }

    void runFolderIsTheProgramsOwnInsideTemp()
    {
        QFETCH(QString, temp);
        QTemporaryDir base;
        if (temp == QLatin1String("set"))
            qputenv("TEMP", QFile::encodeName(base.path()));
        else
            qputenv("TMPDIR", QFile::encodeName(base.path()));
        if (temp == QLatin1String("empty"))
            qputenv("TEMP", "");

        QCOMPARE(temporaryBase(), base.path());
        const QString folder = temporaryFolder();
        QCOMPARE(QFileInfo(folder).absolutePath(), base.path());
        QVERIFY2(QFileInfo(folder).fileName().startsWith("ferrowynd-run-"), qPrintable(folder));
        QVERIFY(S_ISDIR(modeOf(folder)));
        QCOMPARE(modeOf(folder) & 0777, mode_t(0700));
        QCOMPARE(temporaryFile("template.xlt"), folder + "/template.xlt");
        // A second call reuses the folder; the program's end removes it.
        QCOMPARE(temporaryFolder(), folder);
        removeTemporaryFolders();
        QVERIFY(!QFileInfo::exists(folder));
        QCOMPARE(entriesOf(base.path()), QStringList());
        qunsetenv("TMPDIR");
    }

    // Two programs, or a file planted under the names the run uses, never share a folder.
    void plantedNamesAreLeftAlone()
    {
        QTemporaryDir base;
        QTemporaryDir elsewhere;
        qputenv("TEMP", QFile::encodeName(base.path()));
        QFile planted(base.filePath("template.xlt"));
        QVERIFY(planted.open(QIODevice::WriteOnly));
        planted.write("someone else's");
        planted.close();
        QVERIFY(QFile::link(elsewhere.filePath("target"), base.filePath("temp.bmp")));

        const QString folder = temporaryFolder();
        QVERIFY(folder != base.path());
        QVERIFY(!QFileInfo::exists(temporaryFile("template.xlt")));
        removeTemporaryFolders();
        QCOMPARE(entriesOf(base.path()), QStringList({ "temp.bmp", "template.xlt" }));
        QCOMPARE(entriesOf(elsewhere.path()), QStringList());
    }

    void unusableTempIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a file") << "file";
        QTest::newRow("missing") << "missing";
    }

    void unusableTempIsRefused()
    {
        QFETCH(QString, kind);
        QTemporaryDir home;
        const QString temp = home.filePath("temp");
        if (kind == QLatin1String("file")) {
            QFile file(temp);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        qputenv("TEMP", QFile::encodeName(temp));
        QVERIFY_THROWS_EXCEPTION(AppError, temporaryFolder());
        QCOMPARE(entriesOf(home.path()),
            kind == QLatin1String("file") ? QStringList { "temp" } : QStringList());
    }

    // A folder whose owner ended goes at the next start, lock and all, without a warning that the
    // lock was gone before it was released; a live program's stays.
    void abandonedFoldersGoAndLiveOnesStay()
    {
        QTemporaryDir base;
        qputenv("TEMP", QFile::encodeName(base.path()));
        const QString live = temporaryFolder();
        const QString left = base.filePath("ferrowynd-run-ended1");
        QVERIFY(QDir().mkpath(left + "/inner"));
        QFile lock(left + "/owner.lock");
        QVERIFY(lock.open(QIODevice::WriteOnly));
        // A process number no live process has, and the name of this program.
        lock.write(QByteArray::number(qint64(4194303)) + '\n'
            + QCoreApplication::applicationName().toUtf8() + "\n"
            + QSysInfo::machineHostName().toUtf8() + "\n");
        lock.close();
        QFile(left + "/varnok12345678.xls").open(QIODevice::WriteOnly);

        QTest::failOnWarning(QRegularExpression("lock file"));
        QCOMPARE(removeAbandonedTemporaryFolders(), 1);
        QVERIFY(!QFileInfo::exists(left));
        QVERIFY(QFileInfo(live).isDir());
        removeTemporaryFolders();
    }

    void cleanupTestCase()
    {
        removeTemporaryFolders();
        qunsetenv("TMPDIR");
    }
};

QTEST_MAIN(TestFolders)
#include "tst_folders.moc"
