#include "preview/viewermath.h"

#include <QtTest>

using namespace ViewerMath;

class TestViewerMath : public QObject {
    Q_OBJECT

private slots:
    void halvesGoToEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("rounded");
        QTest::newRow("2.5 down") << 2.5 << 2.0;
        QTest::newRow("3.5 up") << 3.5 << 4.0;
        QTest::newRow("-2.5 to -2") << -2.5 << -2.0;
        QTest::newRow("-3.5 to -4") << -3.5 << -4.0;
    }
    void halvesGoToEven()
    {
        QFETCH(double, value);
        QFETCH(double, rounded);
        QCOMPARE(roundHalfEven(value), rounded);
    }

    void zoomedLengthRoundsDown_data()
    {
        QTest::addColumn<qint32>("original");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<qint32>("zoomed");
        QTest::newRow("natural size") << 19573 << 1.0f << 19573;
        QTest::newRow("quarter of odd") << 11998 << 0.25f << 2999;
        QTest::newRow("three quarters of odd") << 7 << 0.75f << 5;
        QTest::newRow("sheet at 2.25") << 19573 << 2.25f << 44039;
    }
    void zoomedLengthRoundsDown()
    {
        QFETCH(qint32, original);
        QFETCH(float, zoom);
        QFETCH(qint32, zoomed);
        QCOMPARE(zoomedLength(original, zoom), zoomed);
    }

    void originalLengthDropsTwoTwips()
    {
        QCOMPARE(originalLength(12000), 11998);
        QCOMPARE(originalLength(2.5), 0);
        QCOMPARE(originalLength(5.5), 4);
    }

    void sizeLimits_data()
    {
        QTest::addColumn<qint32>("width");
        QTest::addColumn<qint32>("height");
        QTest::addColumn<bool>("fits");
        // The program's sheet picture, 1305 × 1344 pixels, at the largest zoom.
        QTest::newRow("sheet at 2.25") << 44039 << 45355 << true;
        QTest::newRow("1750 x 1950 pixels at 2.25") << 59058 << 65808 << true;
        QTest::newRow("width reaches limit") << 59100 << 100 << false;
        QTest::newRow("height reaches limit") << 100 << 65850 << false;
    }
    void sizeLimits()
    {
        QFETCH(qint32, width);
        QFETCH(qint32, height);
        QFETCH(bool, fits);
        QCOMPARE(fitsLimits(width, height), fits);
    }

    void zoomStepsStayInQuarterGrid()
    {
        float zoom = 1.0f;
        QStringList reached;
        while (acceptsZoom(nextZoom(zoom, 0))) {
            zoom = nextZoom(zoom, 0);
            reached << QString::number(zoom);
        }
        QCOMPARE(reached, QStringList({ "1.25", "1.5", "1.75", "2", "2.25" }));
        zoom = 1.0f;
        reached.clear();
        while (acceptsZoom(nextZoom(zoom, 7))) {
            zoom = nextZoom(zoom, 7);
            reached << QString::number(zoom);
        }
        QCOMPARE(reached, QStringList({ "0.75", "0.5", "0.25" }));
        QVERIFY(!acceptsZoom(0.0f));
        QVERIFY(!acceptsZoom(2.5f));
    }

    void scrollRanges_data()
    {
        QTest::addColumn<qint32>("picture");
        QTest::addColumn<qint32>("viewport");
        QTest::addColumn<float>("zoom");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("singleStep");
        QTest::newRow("narrower") << 9000 << 9270 << 1.0f << false << 0 << 0;
        QTest::newRow("exactly as wide") << 9270 << 9270 << 1.0f << false << 0 << 0;
        QTest::newRow("one twip over") << 9271 << 9270 << 1.0f << true << 1 << 255;
        QTest::newRow("sheet at 0.5") << 9786 << 9270 << 0.5f << true << 516 << 128;
        QTest::newRow("sheet at 1.0") << 19573 << 9270 << 1.0f << true << 10303 << 255;
        QTest::newRow("sheet at 2.25") << 44039 << 9270 << 2.25f << true << 34769 << 574;
        // The viewport of a window maximised on a 1920 x 1080 screen.
        QTest::newRow("maximised, sheet at 1.0") << 19573 << 28230 << 1.0f << false << 0 << 0;
        QTest::newRow("maximised, sheet at 2.25")
            << 44039 << 28230 << 2.25f << true << 15809 << 574;
    }
    void scrollRanges()
    {
        QFETCH(qint32, picture);
        QFETCH(qint32, viewport);
        QFETCH(float, zoom);
        QFETCH(bool, enabled);
        QFETCH(int, maximum);
        QFETCH(int, singleStep);
        const ScrollRange range = scrollRange(picture, viewport, zoom);
        QCOMPARE(range.enabled, enabled);
        if (!enabled)
            return;
        QCOMPARE(range.maximum, maximum);
        QCOMPARE(range.singleStep, singleStep);
        QCOMPARE(range.pageStep, viewport);
    }

    void scrolledPositions_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("position");
        QTest::newRow("one twip") << 73 << -73;
        QTest::newRow("beyond 16 bits") << 34769 << -34769;
    }
    void scrolledPositions()
    {
        QFETCH(int, value);
        QFETCH(int, position);
        QCOMPARE(scrolledPosition(value), position);
    }

    void clamps_data()
    {
        QTest::addColumn<double>("position");
        QTest::addColumn<qint32>("inner");
        QTest::addColumn<qint32>("picture");
        QTest::addColumn<double>("clamped");
        QTest::newRow("right of origin stops at 0") << 450.0 << 9270 << 19573 << 0.0;
        QTest::newRow("inside stays") << -1500.0 << 9270 << 19573 << -1500.0;
        QTest::newRow("far edge meets inner edge") << -12000.0 << 9270 << 19573 << -10303.0;
        QTest::newRow("beyond 16 bits") << -40000.0 << 9270 << 44039 << -34769.0;
        QTest::newRow("picture that fits stays at origin") << -15.0 << 9270 << 4893 << 0.0;
        QTest::newRow("picture as wide as the viewport") << -15.0 << 9270 << 9270 << 0.0;
    }
    void clamps()
    {
        QFETCH(double, position);
        QFETCH(qint32, inner);
        QFETCH(qint32, picture);
        QFETCH(double, clamped);
        QCOMPARE(clampPosition(position, inner, picture), clamped);
    }

    void keptPositions_data()
    {
        QTest::addColumn<qint32>("position");
        QTest::addColumn<qint32>("oldLength");
        QTest::addColumn<qint32>("newLength");
        QTest::addColumn<double>("anchor");
        QTest::addColumn<qint32>("kept");
        // The sheet, 19573 twips at 1.0, in the 9270-twip viewport; 4635 is its centre.
        QTest::newRow("centre kept going in") << 0 << 19573 << 24466 << 4635.0 << -1159;
        QTest::newRow("centre kept further in") << -5000 << 19573 << 24466 << 4635.0 << -7409;
        QTest::newRow("going out clamps at the far edge")
            << -10303 << 19573 << 14679 << 4635.0 << -5409;
        QTest::newRow("picture that fits goes to origin") << -2000 << 19573 << 4893 << 4635.0 << 0;
        QTest::newRow("pointer at left keeps the left edge") << 0 << 19573 << 44039 << 0.0 << 0;
        QTest::newRow("pointer at right edge") << -6000 << 19573 << 44039 << 9270.0 << -25087;
        QTest::newRow("anchor beyond a narrow picture") << 0 << 5000 << 7500 << 8000.0 << 0;
    }
    void keptPositions()
    {
        QFETCH(qint32, position);
        QFETCH(qint32, oldLength);
        QFETCH(qint32, newLength);
        QFETCH(double, anchor);
        QFETCH(qint32, kept);
        QCOMPARE(keptPosition(position, oldLength, newLength, 9270, anchor), kept);
    }

    void resizedPositions_data()
    {
        QTest::addColumn<qint32>("position");
        QTest::addColumn<qint32>("picture");
        QTest::addColumn<qint32>("oldViewport");
        QTest::addColumn<qint32>("newViewport");
        QTest::addColumn<qint32>("resized");
        // 9270 is the designed viewport, 7830 the smallest window's, 28230 a maximised window's.
        QTest::newRow("grows: centre kept") << -5000 << 19573 << 9270 << 15585 << -1842;
        QTest::newRow("shrinks: centre kept") << -5000 << 19573 << 9270 << 7830 << -5720;
        QTest::newRow("grows at the far end: no empty space")
            << -10303 << 19573 << 9270 << 15585 << -3988;
        QTest::newRow("picture that now fits goes to origin")
            << -5000 << 19573 << 9270 << 28230 << 0;
        QTest::newRow("picture that fits stays at origin") << 0 << 4893 << 9270 << 7830 << 0;
        QTest::newRow("maximised at 2.25") << -15000 << 44039 << 9270 << 28230 << -5520;
    }
    void resizedPositions()
    {
        QFETCH(qint32, position);
        QFETCH(qint32, picture);
        QFETCH(qint32, oldViewport);
        QFETCH(qint32, newViewport);
        QFETCH(qint32, resized);
        QCOMPARE(resizedPosition(position, picture, oldViewport, newViewport), resized);
    }

    void visibleCentres_data()
    {
        QTest::addColumn<qint32>("position");
        QTest::addColumn<qint32>("picture");
        QTest::addColumn<double>("centre");
        QTest::newRow("overflowing picture: the viewport's centre") << -3000 << 19573 << 4635.0;
        QTest::newRow("picture that fits: its own centre") << 0 << 4893 << 2446.5;
        QTest::newRow("no picture: the viewport's centre") << 0 << 0 << 4635.0;
    }
    void visibleCentres()
    {
        QFETCH(qint32, position);
        QFETCH(qint32, picture);
        QFETCH(double, centre);
        QCOMPARE(visibleCentre(position, picture, 9270), centre);
    }

    // A dropped picture and the bar's value must agree to the twip, or it jumps on release.
    void dropHandsOverExactly_data()
    {
        QTest::addColumn<qint32>("picture");
        QTest::newRow("sheet at 0.5") << 9786;
        QTest::newRow("sheet at 1.0") << 19573;
        QTest::newRow("sheet at 2.25") << 44039;
        QTest::newRow("sheet height at 2.25") << 45355;
    }
    void dropHandsOverExactly()
    {
        QFETCH(qint32, picture);
        const qint32 inner = 9270;
        const ScrollRange range = scrollRange(picture, inner, 1.0f);
        for (qint32 left = 0; left <= range.maximum; ++left) {
            const int value = barValueForPercent(dropPercent(-left, picture, inner), range.maximum);
            if (value != left)
                QFAIL(qPrintable(QStringLiteral("%1 dropped, bar at %2").arg(left).arg(value)));
        }
    }

    void dropPercents_data()
    {
        QTest::addColumn<qint32>("position");
        QTest::addColumn<qint32>("picture");
        QTest::addColumn<double>("percent");
        QTest::newRow("at origin") << 0 << 19573 << 0.0;
        QTest::newRow("far edge") << -10303 << 19573 << 100.0;
        QTest::newRow("no overflow counts as 0") << -45 << 9270 << 0.0;
        QTest::newRow("narrow picture counts as 0") << 0 << 6000 << 0.0;
    }
    void dropPercents()
    {
        QFETCH(qint32, position);
        QFETCH(qint32, picture);
        QFETCH(double, percent);
        QCOMPARE(dropPercent(position, picture, 9270), percent);
    }

    void barValues_data()
    {
        QTest::addColumn<double>("percent");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::newRow("negative leaves the bar") << -1.0 << 273 << -1;
        QTest::newRow("zero") << 0.0 << 273 << 0;
        QTest::newRow("half of odd halves to even") << 50.0 << 273 << 136;
        QTest::newRow("all of it") << 100.0 << 273 << 273;
        QTest::newRow("beyond 100 leaves the bar") << 101.0 << 273 << -1;
        QTest::newRow("empty bar takes any percentage as 0") << 500.0 << 0 << 0;
    }
    void barValues()
    {
        QFETCH(double, percent);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QCOMPARE(barValueForPercent(percent, maximum), value);
    }
};

QTEST_APPLESS_MAIN(TestViewerMath)
#include "tst_viewermath.moc"
