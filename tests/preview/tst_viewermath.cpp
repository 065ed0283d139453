#include "app/apperror.h"
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
        QTest::newRow("natural size") << 17398 << 1.0f << 17398;
        QTest::newRow("quarter of odd") << 11998 << 0.25f << 2999;
        QTest::newRow("three quarters of odd") << 7 << 0.75f << 5;
        QTest::newRow("1.75 of 11998") << 11998 << 1.75f << 20996;
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
        QTest::newRow("both below") << 18999 << 21999 << true;
        QTest::newRow("width reaches limit") << 19000 << 100 << false;
        QTest::newRow("height reaches limit") << 100 << 22000 << false;
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
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("step");
        QTest::newRow("narrower") << 9000 << 9330 << false << 0 << 0;
        QTest::newRow("exactly as wide") << 9330 << 9330 << false << 0 << 0;
        QTest::newRow("one twip over") << 9331 << 9330 << true << 1 << 1;
        QTest::newRow("100 over") << 9430 << 9330 << true << 100 << 1;
        QTest::newRow("101 over") << 9431 << 9330 << true << 10 << 10;
        QTest::newRow("2730 over") << 12060 << 9330 << true << 273 << 10;
        QTest::newRow("2725 over halves to even") << 12055 << 9330 << true << 272 << 10;
        QTest::newRow("2735 over halves to even") << 12065 << 9330 << true << 274 << 10;
    }
    void scrollRanges()
    {
        QFETCH(qint32, picture);
        QFETCH(qint32, viewport);
        QFETCH(bool, enabled);
        QFETCH(int, maximum);
        QFETCH(int, step);
        const ScrollRange range = scrollRange(picture, viewport);
        QCOMPARE(range.enabled, enabled);
        QCOMPARE(int(range.step), step);
        if (enabled)
            QCOMPARE(range.maximum, maximum);
    }

    void scrolledPositions_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("position");
        QTest::newRow("disabled bar") << 0 << 40 << 0;
        QTest::newRow("one twip") << 1 << 73 << -73;
        QTest::newRow("ten twips") << 10 << 273 << -2730;
        QTest::newRow("largest 16-bit product") << 10 << 3276 << -32760;
        QTest::newRow("product wraps") << 10 << 3277 << 32766;
        QTest::newRow("value wraps first") << 1 << 32769 << 32767;
    }
    void scrolledPositions()
    {
        QFETCH(int, step);
        QFETCH(int, value);
        QFETCH(int, position);
        QCOMPARE(int(scrolledPosition(qint16(step), value)), position);
    }

    void dragClamps_data()
    {
        QTest::addColumn<double>("position");
        QTest::addColumn<qint32>("inner");
        QTest::addColumn<qint32>("picture");
        QTest::addColumn<double>("clamped");
        QTest::newRow("right of origin stops at 0") << 450.0 << 9270 << 17398 << 0.0;
        QTest::newRow("inside stays") << -1500.0 << 9270 << 17398 << -1500.0;
        QTest::newRow("far edge meets inner edge") << -9000.0 << 9270 << 17398 << -8128.0;
        QTest::newRow("exactly at far edge") << -8128.0 << 9270 << 17398 << -8128.0;
        QTest::newRow("narrow picture dragged left goes to the far side")
            << -15.0 << 9270 << 6000 << 3270.0;
    }
    void dragClamps()
    {
        QFETCH(double, position);
        QFETCH(qint32, inner);
        QFETCH(qint32, picture);
        QFETCH(double, clamped);
        QCOMPARE(clampDragPosition(position, inner, picture), clamped);
    }

    void dropPercents_data()
    {
        QTest::addColumn<qint32>("position");
        QTest::addColumn<qint32>("picture");
        QTest::addColumn<qint32>("outer");
        QTest::addColumn<int>("percent");
        QTest::newRow("at origin") << 0 << 17398 << 9330 << 0;
        QTest::newRow("half way") << -4034 << 17398 << 9330 << 50;
        QTest::newRow("2.5 halves down") << -5 << 9530 << 9330 << 2;
        QTest::newRow("3.5 halves up") << -7 << 9530 << 9330 << 4;
        QTest::newRow("far edge beyond 100") << -8128 << 17398 << 9330 << 101;
        QTest::newRow("no overflow counts as 0") << -45 << 9330 << 9330 << 0;
        QTest::newRow("narrow picture is negative") << 3270 << 6000 << 9330 << -98;
    }
    void dropPercents()
    {
        QFETCH(qint32, position);
        QFETCH(qint32, picture);
        QFETCH(qint32, outer);
        QFETCH(int, percent);
        QCOMPARE(int(dropPercent(position, picture, outer)), percent);
    }

    void dropPercentBeyond16BitsIsAnError()
    {
        QVERIFY_THROWS_EXCEPTION(AppError, dropPercent(-400, 9331, 9330));
    }

    void barValues_data()
    {
        QTest::addColumn<int>("percent");
        QTest::addColumn<int>("maximum");
        QTest::addColumn<int>("value");
        QTest::newRow("negative leaves the bar") << -1 << 273 << -1;
        QTest::newRow("zero") << 0 << 273 << 0;
        QTest::newRow("share of maximum") << 33 << 273 << 90;
        QTest::newRow("half of odd halves to even") << 50 << 273 << 136;
        QTest::newRow("all of it") << 100 << 273 << 273;
        QTest::newRow("beyond 100 leaves the bar") << 101 << 273 << -1;
        QTest::newRow("empty bar takes any percentage as 0") << 500 << 0 << 0;
    }
    void barValues()
    {
        QFETCH(int, percent);
        QFETCH(int, maximum);
        QFETCH(int, value);
        QCOMPARE(barValueForPercent(qint16(percent), maximum), value);
    }
};

QTEST_APPLESS_MAIN(TestViewerMath)
#include "tst_viewermath.moc"
