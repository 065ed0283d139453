#include "app/fontconfigurationwarmup.h"

#include <QtTest>

extern char** environ;

namespace {

QByteArrayList environment()
{
    QByteArrayList entries;
    for (char** entry = environ; *entry; ++entry)
        entries << QByteArray(*entry);
    return entries;
}

} // namespace

class TestFontConfigurationWarmUp : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { qunsetenv(FontConfigurationWarmUp::startIdVariable); }

    // Before any application object, so that the reading is this process's first.
    void readsTheConfiguration()
    {
        FontConfigurationWarmUp warmUp;
        QVERIFY(warmUp.wait());
        QVERIFY(warmUp.wait());
    }

    void endsWithoutBeingWaitedFor() { FontConfigurationWarmUp warmUp; }

    void startIdGoesToTheEnd_data()
    {
        QTest::addColumn<bool>("set");
        QTest::addColumn<QByteArray>("id");
        QTest::newRow("launched from a menu") << true << QByteArray("ferrowynd-1234_TIME56789");
        QTest::newRow("empty id") << true << QByteArray("");
        QTest::newRow("started from a terminal") << false << QByteArray();
    }

    void startIdGoesToTheEnd()
    {
        QFETCH(bool, set);
        QFETCH(QByteArray, id);
        const char* const name = FontConfigurationWarmUp::startIdVariable;
        if (set) {
            qputenv(name, id);
            // Not last, as a launcher may leave it.
            qputenv("FERROWYND_TEST_AFTER_ID", "after");
        }
        QByteArrayList others = environment();
        others.removeAll(QByteArray(name) + '=' + id);

        FontConfigurationWarmUp warmUp;
        QVERIFY(warmUp.wait());

        QByteArrayList now = environment();
        if (set) {
            QCOMPARE(now.last(), QByteArray(name) + '=' + id);
            now.removeLast();
        } else {
            QVERIFY(!qEnvironmentVariableIsSet(name));
        }
        QCOMPARE(now, others);
        qunsetenv("FERROWYND_TEST_AFTER_ID");
    }
};

QTEST_GUILESS_MAIN(TestFontConfigurationWarmUp)
#include "tst_fontconfigurationwarmup.moc"
