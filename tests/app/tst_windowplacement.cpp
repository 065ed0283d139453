#include "app/settingsfile.h"
#include "app/windowplacement.h"

#include <QtTest>

class TestWindowPlacement : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("XDG_CONFIG_HOME", mConfig.path().toLocal8Bit()); }

    // Hiding a window that has not moved leaves the file alone; a moved one is written.
    void rememberWritesOnlyAMove()
    {
        QWidget window;
        window.setGeometry(100, 120, 800, 600);
        WindowPlacement::remember(window, QStringLiteral("Probe"));
        QCOMPARE(SettingsFile::readIn(WindowPlacement::section, QStringLiteral("Probe")),
            QStringLiteral("100,120,800,600"));
        // Changed behind the program's back: an unmoved window does not write it again.
        SettingsFile::writeIn(WindowPlacement::section,
            { { QStringLiteral("Probe"), QStringLiteral("1,2,800,600") } });
        WindowPlacement::remember(window, QStringLiteral("Probe"));
        QCOMPARE(SettingsFile::readIn(WindowPlacement::section, QStringLiteral("Probe")),
            QStringLiteral("1,2,800,600"));
        window.move(140, 120);
        WindowPlacement::remember(window, QStringLiteral("Probe"));
        QCOMPARE(WindowPlacement::read(QStringLiteral("Probe"))->geometry, window.geometry());
    }

    void fitted_data()
    {
        QTest::addColumn<QRect>("remembered");
        QTest::addColumn<QRect>("fitted");
        const QRect none;
        QTest::newRow("inside the screen: in place")
            << QRect(100, 30, 900, 700) << QRect(100, 30, 900, 700);
        QTest::newRow("partly off the screen: centred")
            << QRect(900, 300, 800, 600) << QRect(283, 69, 800, 600);
        QTest::newRow("on the second screen")
            << QRect(1500, 100, 1200, 900) << QRect(1500, 100, 1200, 900);
        QTest::newRow("on no screen: centred on the first")
            << QRect(-3000, -2000, 800, 600) << QRect(283, 69, 800, 600);
        QTest::newRow("one pixel taller than the screen") << QRect(0, 0, 800, 739) << none;
        QTest::newRow("narrower than the minimum") << QRect(0, 0, 751, 600) << none;
        QTest::newRow("shorter than the minimum") << QRect(0, 0, 800, 479) << none;
    }
    void fitted()
    {
        QFETCH(QRect, remembered);
        QFETCH(QRect, fitted);
        // A laptop's 1366 x 768 screen with a 30-pixel panel, and a larger one to its right.
        const QList<QRect> screens { QRect(0, 0, 1366, 738), QRect(1366, 0, 1920, 1050) };
        const std::optional<QRect> place
            = WindowPlacement::fitted(remembered, QSize(752, 480), screens);
        QCOMPARE(place.value_or(QRect()), fitted);
    }

    void centred_data()
    {
        QTest::addColumn<QRect>("area");
        QTest::addColumn<QRect>("centred");
        QTest::newRow("fits: designed size in the middle")
            << QRect(0, 0, 1920, 1050) << QRect(584, 209, 752, 631);
        // 1366 x 768 at 125 %, less a panel: the window and its title bar fit.
        QTest::newRow("laptop at 125 %") << QRect(0, 0, 1093, 590) << QRect(171, 40, 752, 550);
        QTest::newRow("smaller than the minimum allows")
            << QRect(0, 0, 1093, 400) << QRect(171, 40, 752, 480);
        QTest::newRow("a second screen") << QRect(1920, 0, 1366, 738) << QRect(2227, 53, 752, 631);
    }
    void centred()
    {
        QFETCH(QRect, area);
        QFETCH(QRect, centred);
        QCOMPARE(WindowPlacement::centred(QSize(752, 631), QSize(752, 480), area), centred);
    }

private:
    QTemporaryDir mConfig;
};

QTEST_MAIN(TestWindowPlacement)
#include "tst_windowplacement.moc"
