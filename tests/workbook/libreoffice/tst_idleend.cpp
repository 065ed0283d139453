// The warm office's end after a time without use, driven without an office: who holds the office
// is a number the test sets, and the time runs out when the test says so.

#include "workbook/libreoffice/idleend.h"
#include "workbook/libreoffice/warmoffice.h"

#include <QtTest>

class TestIdleEnd : public QObject {
    Q_OBJECT

private slots:
    void timeUp_data()
    {
        QTest::addColumn<long>("holders");
        QTest::addColumn<bool>("ended");
        QTest::newRow("no office") << 0L << true;
        QTest::newRow("only the warm office") << 1L << true;
        QTest::newRow("one session") << 2L << false;
        QTest::newRow("two sessions") << 3L << false;
    }
    void timeUp()
    {
        QFETCH(long, holders);
        QFETCH(bool, ended);
        int ends = 0;
        IdleEnd idle(
            600000, [&] { return holders; }, [&] { ++ends; });
        idle.restart();
        idle.timeUp();
        QCOMPARE(ends, ended ? 1 : 0);
        // A session's office waits another whole time without use.
        QCOMPARE(idle.isRunning(), !ended);
    }

    void idleTimeFromTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("seconds"); // empty: unset
        QTest::addColumn<int>("milliseconds");
        QTest::newRow("unset") << QByteArray() << 600000;
        QTest::newRow("1.5") << QByteArray("1.5") << 1500;
        QTest::newRow("below a millisecond") << QByteArray("0.0001") << 1;
        QTest::newRow("0") << QByteArray("0") << 600000;
        QTest::newRow("-3") << QByteArray("-3") << 600000;
        QTest::newRow("abc") << QByteArray("abc") << 600000;
        QTest::newRow("24 days") << QByteArray("2073600") << 2073600000;
        QTest::newRow("huge") << QByteArray("1e12") << 600000;
    }
    void idleTimeFromTheEnvironment()
    {
        QFETCH(QByteArray, seconds);
        QFETCH(int, milliseconds);
        if (seconds.isNull())
            qunsetenv("FERROWYND_OFFICE_IDLE_S");
        else
            qputenv("FERROWYND_OFFICE_IDLE_S", seconds);
        QCOMPARE(WarmOffice::idleTimeMs(), milliseconds);
        qunsetenv("FERROWYND_OFFICE_IDLE_S");
    }
};

QTEST_GUILESS_MAIN(TestIdleEnd)
#include "tst_idleend.moc"
