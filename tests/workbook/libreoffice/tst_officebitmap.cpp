// The office's drawing of a range as it comes over: a bitmap file with white edges round the
// drawing, read into the screen's format with the edges cut off.

#include "workbook/libreoffice/officebitmap.h"

#include <QBuffer>
#include <QPainter>
#include <QtTest>

namespace {

// A drawing of the given size with a green frame and a black dot in its corner, set into a white
// picture at 'at' with white round it up to 'whole'.
QImage drawnOnWhite(const QSize& whole, const QRect& drawing)
{
    QImage image(whole, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setPen(QColor(0, 160, 0));
    painter.drawRect(drawing.adjusted(0, 0, -1, -1));
    painter.fillRect(QRect(drawing.bottomRight(), QSize(1, 1)), Qt::black);
    return image;
}

QByteArray encoded(const QImage& image, const char* format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return buffer.data();
}

} // namespace

class TestOfficeBitmap : public QObject {
    Q_OBJECT

private slots:
    void edgesAreCutOff_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("drawn");
        QTest::addColumn<QRect>("kept");

        const QImage office = drawnOnWhite(QSize(120, 90), QRect(1, 1, 110, 82));
        QTest::newRow("a band below and on the right, a pixel above and on the left")
            << encoded(office, "BMP") << office << QRect(1, 1, 110, 82);
        // 37 pixels are 111 bytes a line, filled up to 112.
        const QImage padded = drawnOnWhite(QSize(37, 20), QRect(0, 2, 35, 15));
        QTest::newRow("lines filled up to whole words")
            << encoded(padded, "BMP") << padded << QRect(0, 2, 35, 15);
        const QImage whole = drawnOnWhite(QSize(40, 30), QRect(0, 0, 40, 30));
        QTest::newRow("no white edge") << encoded(whole, "BMP") << whole << QRect(0, 0, 40, 30);
        QImage white(50, 40, QImage::Format_RGB32);
        white.fill(Qt::white);
        QTest::newRow("white all over keeps its first pixel")
            << encoded(white, "BMP") << white << QRect(0, 0, 1, 1);
        QTest::newRow("a PNG") << encoded(office, "PNG") << office << QRect(1, 1, 110, 82);
        // As text is drawn: the widest line is neither the first nor the last.
        QImage ragged(60, 40, QImage::Format_RGB32);
        ragged.fill(Qt::white);
        ragged.setPixel(20, 4, qRgb(0, 0, 0));
        for (int x = 3; x <= 50; ++x)
            ragged.setPixel(x, 12, qRgb(0, 0, 0));
        ragged.setPixel(10, 30, qRgb(0, 0, 0));
        QTest::newRow("ragged lines") << encoded(ragged, "BMP") << ragged << QRect(3, 4, 48, 27);
        QTest::newRow("ragged lines, PNG")
            << encoded(ragged, "PNG") << ragged << QRect(3, 4, 48, 27);
    }

    void edgesAreCutOff()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, drawn);
        QFETCH(QRect, kept);

        const QImage picture = trimmedPicture(bytes);
        QCOMPARE(picture.format(), QImage::Format_RGB32);
        QCOMPARE(picture.size(), kept.size());
        QCOMPARE(picture, drawn.copy(kept));
    }

    void noPictureGivesANullImage_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("nothing") << QByteArray();
        QTest::newRow("text") << QByteArray("not a picture at all");
        const QByteArray bitmap = encoded(drawnOnWhite(QSize(60, 40), QRect(2, 2, 50, 30)), "BMP");
        QTest::newRow("headers only") << bitmap.left(54);
    }

    void noPictureGivesANullImage()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(trimmedPicture(bytes).isNull());
    }
};

QTEST_APPLESS_MAIN(TestOfficeBitmap)
#include "tst_officebitmap.moc"
