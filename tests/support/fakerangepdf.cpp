#include "fakerangepdf.h"

#include "app/apperror.h"

#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

QImage fakeSheetPicture(QSize size)
{
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    // A dark first cell so a test can tell the sheet from an empty picture.
    for (int y = 0; y < qMin(20, picture.height()); ++y) {
        for (int x = 0; x < qMin(64, picture.width()); ++x)
            picture.setPixel(x, y, qRgb(0, 0, 128));
    }
    return picture;
}

void writeFakeRangePdf(const QString& path, QSize pictureSize, bool gridlines)
{
    // Points: a picture pixel is three quarters of one; the margin is the office's 5 mm.
    constexpr qreal pixel = 0.75;
    const qreal margin = 5 / 25.4 * 72;
    const QSizeF range = QSizeF(pictureSize) * pixel;
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageSize(QPageSize(range + QSizeF(2 * margin, 2 * margin), QPageSize::Point));
    writer.setPageMargins(QMarginsF());
    QPainter painter;
    if (!painter.begin(&writer))
        throw AppError(QStringLiteral("%1 could not be exported").arg(path));
    painter.translate(margin, margin);
    painter.fillRect(
        QRectF(0, 0, qMin(64, pictureSize.width()) * pixel, qMin(20, pictureSize.height()) * pixel),
        QColor(0, 128, 0));
    if (gridlines) {
        const QColor black(Qt::black);
        painter.fillRect(QRectF(0, 0, range.width(), pixel), black);
        painter.fillRect(QRectF(0, range.height() - pixel, range.width(), pixel), black);
        painter.fillRect(QRectF(0, 0, pixel, range.height()), black);
        painter.fillRect(QRectF(range.width() - pixel, 0, pixel, range.height()), black);
    }
    painter.end();
}
