#include "app/applicationtitle.h"
#include "app/dialogs.h"

#include <QMessageBox>
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

    // The real message box leaves its title bar room for the whole title beside the window's
    // icon and buttons, however short its text. needed: the title in the bold default font of
    // the test's platform (Sans Serif 9: 72, 115 and 529 pixels) and 96 for the icon and three
    // buttons.
    void messageBoxesShowTheirWholeTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("needed");
        QTest::newRow("a short message") << "Ferrowynd"
                                         << "Done." << 168;
        QTest::newRow("the error report's title") << "Application Error"
                                                  << "Overflow" << 211;
        QTest::newRow("the longest application title")
            << QString(40, QLatin1Char('W')) << "Done." << 625;
    }

    void messageBoxesShowTheirWholeTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, text);
        QFETCH(int, needed);
        const std::unique_ptr<QMessageBox> box
            = makeMessageBox(nullptr, title, text, Dialogs::Icon::None, Dialogs::Buttons::Ok);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QVERIFY2(box->width() >= needed,
            qPrintable(QStringLiteral("%1 < %2").arg(box->width()).arg(needed)));
        QCOMPARE(box->windowTitle(), title);
        box->close();
    }
};

QTEST_MAIN(TestApplicationTitle)
#include "tst_applicationtitle.moc"
