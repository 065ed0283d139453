#include "app/apperror.h"
#include "app/cursorloader.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPixmap>
#include <QtEndian>
#include <QtTest>

namespace {

// An icon file turned into a cursor file: resource type 2 and the hotspot in the first entry.
QByteArray cursorBytes(const QImage& image, quint16 hotX, quint16 hotY)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        qFatal("icon writer failed: %s", qPrintable(writer.errorString()));
    qToLittleEndian<quint16>(2, bytes.data() + 2);
    qToLittleEndian<quint16>(hotX, bytes.data() + 6 + 4);
    qToLittleEndian<quint16>(hotY, bytes.data() + 6 + 6);
    return bytes;
}

QImage handImage()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 4; y < 20; ++y)
        image.setPixel(10, y, qRgba(0, 0, 0, 255));
    image.setPixel(20, 25, qRgba(255, 255, 255, 255));
    return image;
}

} // namespace

class TestCursorLoader : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(mDir.isValid()); }

    void hotspotAndImageComeFromTheFile()
    {
        const QString path = write("HAND-M.CUR", cursorBytes(handImage(), 10, 4));
        const QCursor cursor = loadCursorFile(path);
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.hotSpot(), QPoint(10, 4));
        const QImage loaded = cursor.pixmap().toImage();
        QCOMPARE(loaded.size(), QSize(32, 32));
        QCOMPARE(qAlpha(loaded.pixel(10, 12)), 255);
        QCOMPARE(qAlpha(loaded.pixel(0, 0)), 0);
        QCOMPARE(QColor(loaded.pixel(20, 25)), QColor(Qt::white));
    }

    void hotspotOutsideTheImageIsKeptInside()
    {
        const QString path = write("far.cur", cursorBytes(handImage(), 300, 40));
        QCOMPARE(loadCursorFile(path).hotSpot(), QPoint(31, 31));
    }

    void unusableFilesThrow_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QByteArray icon = cursorBytes(handImage(), 1, 1);
        qToLittleEndian<quint16>(1, icon.data() + 2);
        QByteArray noImages = cursorBytes(handImage(), 1, 1);
        qToLittleEndian<quint16>(0, noImages.data() + 4);
        QByteArray damaged = cursorBytes(handImage(), 1, 1);
        damaged.truncate(30);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("not a cursor at all, just some words");
        QTest::newRow("icon, not cursor") << icon;
        QTest::newRow("no images") << noImages;
        QTest::newRow("image data cut off") << damaged;
    }

    void unusableFilesThrow()
    {
        QFETCH(QByteArray, bytes);
        const QString path = write(QTest::currentDataTag() + QStringLiteral(".cur"), bytes);
        QVERIFY_THROWS_EXCEPTION(AppError, loadCursorFile(path));
    }

    void missingFileThrowsWithItsPath()
    {
        const QString path = mDir.filePath("absent.cur");
        try {
            loadCursorFile(path);
            QFAIL("no error for a missing file");
        } catch (const AppError& error) {
            QVERIFY(error.description().contains(path));
        }
    }

private:
    QString write(const QString& name, const QByteArray& bytes)
    {
        QFile file(mDir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write test file");
        return file.fileName();
    }

    QTemporaryDir mDir;
};

QTEST_MAIN(TestCursorLoader)
#include "tst_cursorloader.moc"
