#include "app/appicon.h"

#include <QApplication>
#include <QFile>
#include <QWidget>
#include <QtTest>

namespace {

bool svgIconPluginLoaded()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libqsvgicon");
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    // The windows look the icon up by this path; the source tree's drawing must be what they get.
    void resourceHoldsTheShippedDrawing()
    {
        programIcon();
        QFile resource(programIconResource);
        QVERIFY(resource.open(QIODevice::ReadOnly));
        QFile source(
            qEnvironmentVariable("FERROWYND_SOURCE_DIR") + QStringLiteral("/data/ferrowynd.svg"));
        QVERIFY2(source.open(QIODevice::ReadOnly), qPrintable(source.fileName()));
        QCOMPARE(resource.readAll(), source.readAll());
    }

    // Ahead of the drawing tests: the window is given the icon before its first paint, which
    // must not wait for the SVG plugin and the drawing.
    void givingAWindowTheIconDrawsNothing()
    {
        QWidget window;
        window.setWindowIcon(programIcon());
        QVERIFY(!window.windowIcon().isNull());
        QVERIFY(window.windowIcon().cacheKey() != QApplication::windowIcon().cacheKey());
        QVERIFY2(!svgIconPluginLoaded(), "the icon was drawn before it was needed");
    }

    void iconDrawsAtEverySize_data()
    {
        QTest::addColumn<int>("size");
        QTest::newRow("menu") << 16;
        QTest::newRow("title bar") << 32;
        QTest::newRow("launcher") << 128;
    }

    void iconDrawsAtEverySize()
    {
        QFETCH(int, size);
        const QIcon icon = programIcon();
        QVERIFY2(!icon.isNull(), "no icon: is Qt's SVG icon plugin (libqt6svg6) installed?");
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // Rounded corners stay clear; the middle is painted.
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(image.pixelColor(size / 2, size / 2).alpha(), 255);
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
