#include "app/apperror.h"
#include "app/settingsstore.h"
#include "app/settingswriter.h"

#include <QSemaphore>
#include <QThread>
#include <QtTest>
#include <atomic>

using Values = QHash<QString, QString>;

class TestSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir mConfig;

    static QByteArray fileContent(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", mConfig.path().toLocal8Bit()); }

    void fileIsTheOrganisationsOwn()
    {
        QCOMPARE(SettingsStore::fileName(), mConfig.filePath("Ostrivane.conf"));
    }

    void writeIsReadBackAtOnceAndOnDiskAfterFlush()
    {
        SettingsStore::write("txtExpense12", "$1,500.00");
        QCOMPARE(SettingsStore::read("txtExpense12"), QStringLiteral("$1,500.00"));
        QVERIFY(SettingsStore::flush());
        const QByteArray content = fileContent(mConfig.filePath("Ostrivane.conf"));
        QVERIFY(content.contains("[Ferrowynd]"));
        QVERIFY(content.contains("txtExpense12"));
        QSettings onDisk(SettingsStore::fileName(), QSettings::IniFormat);
        QCOMPARE(onDisk.value("Ferrowynd/txtExpense12").toString(), QStringLiteral("$1,500.00"));
        // The household's figures: the user's alone, whatever the umask.
        QCOMPARE(QFile::permissions(SettingsStore::fileName()),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                | QFileDevice::WriteUser);
    }

    void absentKeyReadsEmpty() { QCOMPARE(SettingsStore::read("txtIncome6"), QString()); }

    void textsSurviveUnchanged_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("empty") << QString();
        QTest::newRow("half typed") << "12";
        QTest::newRow("non-ascii") << QStringLiteral("1 234,50 €");
        QTest::newRow("separators") << "a=b;c,d [x]";
        QTest::newRow("long") << QString(100000, QLatin1Char('9'));
    }

    void textsSurviveUnchanged()
    {
        QFETCH(QString, value);
        SettingsStore::write("txtSavings3", "before");
        SettingsStore::write("txtSavings3", value);
        QVERIFY(SettingsStore::flush());
        QCOMPARE(SettingsStore::read("txtSavings3"), value);
    }

    // Told once, the values kept for the next try, and told again after a write went through.
    // Another program changing the file, as the settings classes of this process never do.
    void replaceFileBehindTheStore(const QByteArray& content)
    {
        QFile file(SettingsStore::fileName());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QVERIFY(file.write(content) == content.size());
    }

    void readBatchReadsTheFileAsItBegan_data()
    {
        QTest::addColumn<bool>("nested");
        QTest::newRow("one batch") << false;
        QTest::newRow("a batch inside another") << true;
    }

    void readBatchReadsTheFileAsItBegan()
    {
        QFETCH(bool, nested);
        SettingsStore::write("batchKey", "1");
        QVERIFY(SettingsStore::flush());
        {
            const SettingsStore::ReadBatch batch;
            QCOMPARE(SettingsStore::read("batchKey"), QStringLiteral("1"));
            replaceFileBehindTheStore("[Ferrowynd]\nbatchKey=333\n");
            if (nested) {
                const SettingsStore::ReadBatch inner;
                QCOMPARE(SettingsStore::read("batchKey"), QStringLiteral("1"));
            }
            QCOMPARE(SettingsStore::read("batchKey"), QStringLiteral("1"));
            // What this process hands in is seen at once, and once on disk.
            SettingsStore::write("batchKey", "2");
            QCOMPARE(SettingsStore::read("batchKey"), QStringLiteral("2"));
            QVERIFY(SettingsStore::flush());
            QCOMPARE(SettingsStore::read("batchKey"), QStringLiteral("2"));
            replaceFileBehindTheStore("[Ferrowynd]\nbatchKey=4444\n");
        }
        // Without a batch every read opens the file afresh.
        QCOMPARE(SettingsStore::read("batchKey"), QStringLiteral("4444"));
    }

    // The writer's thread opens the file afresh while the window's thread reads in a batch.
    void readBatchIsItsThreadsOwn()
    {
        SettingsStore::write("threadKey", "1");
        QVERIFY(SettingsStore::flush());
        const SettingsStore::ReadBatch batch;
        replaceFileBehindTheStore("[Ferrowynd]\nthreadKey=55\n");
        QString seen;
        QThread* reader = QThread::create([&] { seen = SettingsStore::read("threadKey"); });
        reader->start();
        QVERIFY(reader->wait(10000));
        delete reader;
        QCOMPARE(seen, QStringLiteral("55"));
        // Openings of one file share its values: the batch sees what the other thread read.
        QCOMPARE(SettingsStore::read("threadKey"), QStringLiteral("55"));
    }

    void unwritableFileIsToldOnceAndRetried()
    {
        SettingsWriter& writer = SettingsStore::writer();
        QVERIFY(!writer.takeUnreportedFailure());
        // QSettings fixes its folder at first use, so block the file itself: a folder in its
        // place cannot be written, not even by root.
        const QString path = mConfig.filePath("Ostrivane.conf");
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        // Counted on this thread, where the notices are meant to arrive.
        int told = 0;
        QObject receiver;
        connect(&writer, &SettingsWriter::failed, &receiver, [&] { ++told; });
        SettingsStore::write("txtIncome0", "1");
        QVERIFY(!SettingsStore::flush());
        QCOMPARE(SettingsStore::read("txtIncome0"), QStringLiteral("1"));
        SettingsStore::write("txtIncome1", "5");
        QVERIFY(!SettingsStore::flush());
        QCoreApplication::processEvents();
        QCOMPARE(told, 1);
        const auto failure = writer.takeUnreportedFailure();
        QVERIFY(failure);
        QVERIFY2(failure->description.contains(path), qPrintable(failure->description));
        QCOMPARE(failure->key, QStringLiteral("txtIncome0"));
        QVERIFY(!writer.takeUnreportedFailure());

        QVERIFY(QDir().rmdir(path));
        SettingsStore::write("txtIncome0", "2");
        QVERIFY(SettingsStore::flush());
        QSettings onDisk(path, QSettings::IniFormat);
        QCOMPARE(onDisk.value("Ferrowynd/txtIncome0").toString(), QStringLiteral("2"));
        QCOMPARE(onDisk.value("Ferrowynd/txtIncome1").toString(), QStringLiteral("5"));

        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        SettingsStore::write("txtIncome0", "3");
        QVERIFY(!SettingsStore::flush());
        QVERIFY(writer.takeUnreportedFailure());
        QVERIFY(QDir().rmdir(path));
        QVERIFY(SettingsStore::flush());
        QCoreApplication::processEvents();
        QCOMPARE(told, 2);
    }

    // A failing write waits for something new to be asked: on a full disk or a read-only folder
    // it must not spin rewriting the file. Each distinct failure is told once.
    void failedWriteWaitsAndEachDistinctFailureIsToldOnce()
    {
        std::atomic<int> attempts { 0 };
        QString reason = QStringLiteral("read-only");
        QMutex reasonMutex;
        SettingsWriter writer([&](const Values&) {
            ++attempts;
            const QMutexLocker lock(&reasonMutex);
            throw AppError(reason);
        });
        writer.write("a", "1");
        QVERIFY(!writer.flush());
        const int afterFlush = attempts;
        QVERIFY(afterFlush == 1 || afterFlush == 2);
        // Nothing new asked: nothing tried, however long it waits.
        QThread::msleep(300);
        QCOMPARE(attempts.load(), afterFlush);
        QCOMPARE(writer.takeUnreportedFailure()->description, QStringLiteral("read-only"));
        QCOMPARE(writer.standingFailure()->description, QStringLiteral("read-only"));

        writer.write("b", "1");
        QVERIFY(!writer.flush());
        QVERIFY(!writer.takeUnreportedFailure());
        {
            const QMutexLocker lock(&reasonMutex);
            reason = QStringLiteral("No space left on device");
        }
        writer.write("c", "1");
        QVERIFY(!writer.flush());
        const auto other = writer.takeUnreportedFailure();
        QVERIFY(other);
        QCOMPARE(other->description, QStringLiteral("No space left on device"));
        QCOMPARE(writer.unwritten("a"), QStringLiteral("1"));
    }

    void garbageFileIsOverwrittenWithoutError()
    {
        const QString path = mConfig.filePath("Ostrivane.conf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("\x01\xff[[[Ferrowynd\n=====\n\x00garbage");
        file.close();
        SettingsStore::write("txtOther2", "7.5");
        QVERIFY(SettingsStore::flush());
        QCOMPARE(SettingsStore::read("txtOther2"), QStringLiteral("7.5"));
    }

    // While one write is under way, newer values wait and replace older ones of their key; a
    // failed write's values give way to newer ones and go with the next try.
    void waitingValuesAreCoalescedInOrder()
    {
        QSemaphore entered;
        QSemaphore release;
        QList<Values> calls;
        int failures = 1;
        SettingsWriter writer([&](const Values& values) {
            calls.append(values);
            entered.release();
            release.acquire();
            if (failures-- > 0)
                throw AppError(QStringLiteral("disk full"));
        });
        writer.write("a", "1");
        writer.write("b", "1");
        QVERIFY(entered.tryAcquire(1, 10000));
        writer.write("a", "2");
        writer.write("c", "1");
        writer.write("a", "3");
        QCOMPARE(writer.unwritten("a"), QStringLiteral("3"));
        QCOMPARE(writer.unwritten("b"), QStringLiteral("1"));
        QCOMPARE(writer.unwritten("d"), std::nullopt);
        QCOMPARE(writer.handedIn(), 5u);
        QCOMPARE(writer.written(), 0u);
        release.release();
        QVERIFY(entered.tryAcquire(1, 10000));
        release.release();
        QVERIFY(writer.flush());
        QCOMPARE(writer.written(), 5u);
        QCOMPARE(writer.unwritten("a"), std::nullopt);
        QCOMPARE(calls,
            QList<Values>(
                { { { "a", "1" }, { "b", "1" } }, { { "a", "3" }, { "b", "1" }, { "c", "1" } } }));
        const auto failure = writer.takeUnreportedFailure();
        QVERIFY(failure);
        QCOMPARE(failure->description, QStringLiteral("disk full"));
        QCOMPARE(failure->key, QStringLiteral("b"));
    }
};

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
