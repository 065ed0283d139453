#include "app/apperror.h"
#include "app/settingsstore.h"

#include <QtTest>

class TestSettingsStore : public QObject {
    Q_OBJECT

    QTemporaryDir mConfig;

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", mConfig.path().toLocal8Bit()); }

    void fileIsTheOrganisationsOwn()
    {
        QCOMPARE(SettingsStore::fileName(), mConfig.filePath("Ostrivane.conf"));
    }

    void writeReachesDiskAtOnce()
    {
        SettingsStore::write("txtExpense12", "$1,500.00");
        QFile file(mConfig.filePath("Ostrivane.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray content = file.readAll();
        QVERIFY(content.contains("[Ferrowynd]"));
        QVERIFY(content.contains("txtExpense12"));
        QCOMPARE(SettingsStore::read("txtExpense12"), QStringLiteral("$1,500.00"));
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
        SettingsStore::write("txtSavings3", value);
        QCOMPARE(SettingsStore::read("txtSavings3"), value);
    }

    void unwritableFileThrowsAndKeepsNothingHalfWritten()
    {
        // QSettings fixes its folder at first use, so block the file itself: a folder in its
        // place cannot be written, not even by root.
        const QString path = mConfig.filePath("Ostrivane.conf");
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        QVERIFY_THROWS_EXCEPTION(AppError, SettingsStore::write("txtIncome0", "1"));
        QVERIFY(QDir().rmdir(path));
        SettingsStore::write("txtIncome0", "2");
        QCOMPARE(SettingsStore::read("txtIncome0"), QStringLiteral("2"));
    }

    void garbageFileIsOverwrittenWithoutError()
    {
        const QString path = mConfig.filePath("Ostrivane.conf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write("\x01\xff[[[Ferrowynd\n=====\n\x00garbage");
        file.close();
        SettingsStore::write("txtOther2", "7.5");
        QCOMPARE(SettingsStore::read("txtOther2"), QStringLiteral("7.5"));
    }
};

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
