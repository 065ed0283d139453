#include "app/appicon.h"
#include "appearance/deferrediconstyle.h"

#include <QApplication>
#include <QFile>
#include <QMenuBar>
#include <QWidget>
#include <QtTest>

namespace {

bool loaded(const QByteArray& library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

bool svgIconPluginLoaded()
{
    return loaded("libqsvgicon");
}

QImage image(const QIcon& icon, int size, qreal ratio)
{
    const QPixmap pixmap = icon.pixmap(QSize(size, size), ratio);
    QImage picture = pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
    picture.setDevicePixelRatio(pixmap.devicePixelRatio());
    return picture;
}

} // namespace

class TestAppIcon : public QObject {
    Q_OBJECT

private slots:
    // First: any picture read before would have loaded the plugins already.
    void aMenuBarIsMadeWithoutReadingPictures()
    {
        installDeferredIconStyle();
        QMenuBar bar;
        bar.addMenu(QStringLiteral("&Plans"));
        QVERIFY2(!loaded("/imageformats/"), "making a menu bar loaded picture-format plugins");
    }

    // The arrows drawn when they are needed are the desktop style's own, at every pixel ratio.
    void deferredArrowsAreTheStylesOwn_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("menu bar arrow") << int(QStyle::SP_ToolBarHorizontalExtensionButton) << 1.0;
        QTest::newRow("menu bar arrow, HiDPI")
            << int(QStyle::SP_ToolBarHorizontalExtensionButton) << 2.0;
        QTest::newRow("vertical arrow, 1.5")
            << int(QStyle::SP_ToolBarVerticalExtensionButton) << 1.5;
        QTest::newRow("another icon, made at once") << int(QStyle::SP_DialogOkButton) << 2.0;
    }

    void deferredArrowsAreTheStylesOwn()
    {
        QFETCH(int, which);
        QFETCH(qreal, ratio);
        installDeferredIconStyle();
        auto* style = qobject_cast<QProxyStyle*>(QApplication::style());
        QVERIFY(style);
        const auto pixmap = static_cast<QStyle::StandardPixmap>(which);
        const QIcon given = style->standardIcon(pixmap);
        const QIcon own = style->baseStyle()->standardIcon(pixmap);
        QVERIFY(!given.isNull());
        QCOMPARE(given.availableSizes(), own.availableSizes());
        const QImage drawn = image(given, 16, ratio);
        const QImage expected = image(own, 16, ratio);
        QCOMPARE(drawn.devicePixelRatio(), expected.devicePixelRatio());
        QCOMPARE(drawn, expected);
    }

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
        QTest::addColumn<qreal>("ratio");
        QTest::newRow("menu") << 16 << 1.0;
        QTest::newRow("title bar") << 32 << 1.0;
        QTest::newRow("launcher") << 128 << 1.0;
        QTest::newRow("title bar, HiDPI") << 32 << 2.0;
        QTest::newRow("menu, 1.5") << 16 << 1.5;
    }

    void iconDrawsAtEverySize()
    {
        QFETCH(int, size);
        QFETCH(qreal, ratio);
        const QIcon icon = programIcon();
        QVERIFY2(!icon.isNull(), "no icon: is Qt's SVG icon plugin (libqt6svg6) installed?");
        const QImage picture = image(icon, size, ratio);
        const int pixels = qRound(size * ratio);
        QCOMPARE(picture.size(), QSize(pixels, pixels));
        QCOMPARE(picture.devicePixelRatio(), ratio);
        // Rounded corners stay clear; the middle is painted.
        QCOMPARE(picture.pixelColor(0, 0).alpha(), 0);
        QCOMPARE(picture.pixelColor(pixels / 2, pixels / 2).alpha(), 255);
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
