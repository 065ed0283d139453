// The office's black print gridlines turned into the screen's: small drawings of a 3 × 3 grid
// (columns 20 pixels wide, rows 17 high) as the office draws them, lines over the fills.

#include "workbook/libreoffice/screengridlines.h"

#include <QPainter>
#include <QtTest>

namespace {

const QColor grey(0xC0, 0xC0, 0xC0);
const QColor green(0xCC, 0xFF, 0xCC);
const QColor blue(0x99, 0xCC, 0xFF);

struct Fill {
    int column;
    int row;
    QColor colour;
};

// Black lines at x = 0, 20, 40, 60 and y = 0, 17, 34, 51; the fills first, as cells are drawn.
QImage drawnGrid(const QList<Fill>& fills, const QRect& blackDash = {})
{
    QImage image(61, 52, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    for (const Fill& fill : fills)
        painter.fillRect(fill.column * 20, fill.row * 17, 20, 17, fill.colour);
    painter.fillRect(blackDash, Qt::black);
    painter.setPen(Qt::black);
    for (int x = 0; x <= 60; x += 20)
        painter.drawLine(x, 0, x, 51);
    for (int y = 0; y <= 51; y += 17)
        painter.drawLine(0, y, 60, y);
    return image;
}

} // namespace

class TestScreenGridlines : public QObject {
    Q_OBJECT

private slots:
    void linePixels_data()
    {
        QTest::addColumn<QImage>("drawn");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QColor>("shown");
        const QImage blank = drawnGrid({});
        QTest::newRow("between blank cells") << blank << QPoint(20, 8) << grey;
        QTest::newRow("crossing of blank cells") << blank << QPoint(20, 17) << grey;
        QTest::newRow("outer edge") << blank << QPoint(0, 8) << grey;
        const QImage oneFilled = drawnGrid({ { 1, 0, green } });
        QTest::newRow("left edge of a filled cell") << oneFilled << QPoint(20, 8) << grey;
        QTest::newRow("right edge of a filled cell") << oneFilled << QPoint(40, 8) << grey;
        QTest::newRow("inside a filled cell") << oneFilled << QPoint(30, 8) << green;
        const QImage side = drawnGrid({ { 0, 1, green }, { 1, 1, green } });
        QTest::newRow("between two filled cells side by side") << side << QPoint(20, 25) << green;
        QTest::newRow("above two filled cells") << side << QPoint(10, 17) << grey;
        const QImage column = drawnGrid({ { 1, 0, blue }, { 1, 1, blue }, { 1, 2, blue } });
        QTest::newRow("between filled cells one above the other")
            << column << QPoint(30, 17) << blue;
        QTest::newRow("beside a filled column") << column << QPoint(40, 25) << grey;
        const QImage four
            = drawnGrid({ { 0, 0, green }, { 1, 0, green }, { 0, 1, green }, { 1, 1, green } });
        QTest::newRow("crossing inside four filled cells") << four << QPoint(20, 17) << green;
        const QImage three = drawnGrid({ { 0, 0, green }, { 1, 0, green }, { 1, 1, green } });
        QTest::newRow("crossing beside a blank cell") << three << QPoint(20, 17) << grey;
        const QImage dash = drawnGrid({}, QRect(25, 40, 8, 1));
        QTest::newRow("a dash of text stays black") << dash << QPoint(28, 40) << QColor(Qt::black);
    }
    void linePixels()
    {
        QFETCH(QImage, drawn);
        QFETCH(QPoint, pixel);
        QFETCH(QColor, shown);
        QCOMPARE(withScreenGridlines(drawn).pixelColor(pixel), shown);
    }

    // A black stretch that does not run through between two crossing lines is not a gridline.
    void runOnTextKeepsItsBlack()
    {
        QImage drawn = drawnGrid({});
        // A line broken in its middle cell, as text running on over empty cells breaks it.
        for (int y = 18; y < 34; ++y)
            drawn.setPixelColor(40, y, y == 25 ? QColor(Qt::white) : QColor(Qt::black));
        const QImage shown = withScreenGridlines(drawn);
        QCOMPARE(shown.pixelColor(40, 20), QColor(Qt::black));
        QCOMPARE(shown.pixelColor(40, 8), grey);
    }
};

QTEST_APPLESS_MAIN(TestScreenGridlines)
#include "tst_screengridlines.moc"
