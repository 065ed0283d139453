#include "app/fontconfigwarmup.h"

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

class TestFontConfigWarmUp : public QObject {
    Q_OBJECT

private slots:
    // The connection to the display takes the start id out while the reading runs: it must be
    // the last variable then, and nothing else may have moved.
    void startIdGoesToTheEnd_data()
    {
        QTest::addColumn<bool>("set");
        QTest::newRow("launched from a menu") << true;
        QTest::newRow("started from a terminal") << false;
    }

    void startIdGoesToTheEnd()
    {
        QFETCH(bool, set);
        const char* const name = FontConfigWarmUp::startIdVariable;
        const QByteArray entry = QByteArray(name) + "=ferrowynd-1234_TIME56789";
        if (set) {
            qputenv(name, entry.mid(entry.indexOf('=') + 1));
            // Not last, as a launcher may leave it.
            qputenv("FERROWYND_TEST_AFTER_ID", "after");
        }
        QByteArrayList others = environment();
        others.removeAll(entry);

        FontConfigWarmUp warmUp;
        warmUp.finish();

        QByteArrayList now = environment();
        if (set)
            QCOMPARE(now.takeLast(), entry);
        else
            QVERIFY(!qEnvironmentVariableIsSet(name));
        QCOMPARE(now, others);
        qunsetenv(name);
        qunsetenv("FERROWYND_TEST_AFTER_ID");
    }
};

QTEST_GUILESS_MAIN(TestFontConfigWarmUp)
#include "tst_fontconfigwarmup.moc"
