#include "app/applicationtitle.h"

#include <QtTest>

class TestApplicationTitle : public QObject {
    Q_OBJECT

private slots:
    void title_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("title");
        QTest::newRow("one word is its own title") << "Ferrowynd"
                                                   << "Ferrowynd";
        QTest::newRow("last word goes even when short") << "Retirement Planner"
                                                        << "Retirement";
        QTest::newRow("three words") << "Ostrivane Retirement Planner"
                                     << "Ostrivane Retirement";
        QTest::newRow("shortened until at most 40")
            << "Household Retirement Savings Estimate Builder Deluxe Edition"
            << "Household Retirement Savings Estimate";
        QTest::newRow("exactly 40 after one cut") << "abcdefghij abcdefghij abcdefghij abcdefg tail"
                                                  << "abcdefghij abcdefghij abcdefghij abcdefg";
        QTest::newRow("long single word is cut to 40")
            << QString(50, QLatin1Char('x')) << QString(40, QLatin1Char('x'));
    }

    void title()
    {
        QFETCH(QString, name);
        QFETCH(QString, title);
        const QString result = applicationTitleFor(name);
        QCOMPARE(result, title);
        QVERIFY(result.size() <= 40);
        QVERIFY(name.startsWith(result));
    }
};

QTEST_MAIN(TestApplicationTitle)
#include "tst_applicationtitle.moc"
