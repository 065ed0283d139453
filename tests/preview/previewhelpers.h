#pragma once

#include "preview/form2.h"
#include "preview/picturebox.h"

#include <QPainter>
#include <QPixmap>
#include <QtTest>
#include <memory>

namespace PreviewHelpers {

// A picture whose colour changes every few pixels, so a stretched or shifted copy shows.
inline QPixmap patternedPicture(QSize pixels)
{
    QImage image(pixels, QImage::Format_RGB32);
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x)
            image.setPixel(x, y, qRgb((x / 4) % 256, (y / 4) % 256, ((x + y) / 8) % 256));
    return QPixmap::fromImage(image);
}

// The size of the sheet picture the program captures from its template.
inline QSize realSheetSize()
{
    return QSize(1305, 1344);
}

// A computed sheet as the capture gives it: white cells, grey one-pixel grid lines on rows of
// 17 pixels and columns of uneven widths, black figures in Arial. gridColumns() lists where
// the vertical lines are.
inline QList<int> gridColumns(int width)
{
    QList<int> columns;
    const int widths[] = { 45, 90, 64, 71, 97, 64, 83 };
    for (int x = 0, column = 0; x < width; x += widths[column++ % 7])
        columns << x;
    return columns;
}
inline QPixmap sheetPicture(QSize pixels = realSheetSize())
{
    QPixmap picture(pixels);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setPen(QColor(0xc0, 0xc0, 0xc0));
    const QList<int> columns = gridColumns(pixels.width());
    for (int x : columns)
        painter.drawLine(x, 0, x, pixels.height());
    for (int y = 0; y < pixels.height(); y += 17)
        painter.drawLine(0, y, pixels.width(), y);
    painter.setPen(Qt::black);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(13);
    painter.setFont(font);
    int figure = 1234;
    for (int y = 0; y + 17 <= pixels.height(); y += 17)
        for (int column = 0; column + 1 < columns.size(); ++column) {
            figure = (figure * 37 + 11) % 99991;
            painter.drawText(
                QRect(columns[column] + 2, y, columns[column + 1] - columns[column] - 4, 17),
                Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("%L1").arg(figure));
        }
    return picture;
}

// The hand-over of the generation run: picture, result path, show.
inline std::unique_ptr<Form2> showPreview(
    const QPixmap& picture, const QString& excelFile = QString())
{
    auto form = std::make_unique<Form2>();
    form->setPicture(picture);
    form->mExcelFile = excelFile;
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("preview window was not exposed");
    return form;
}
inline std::unique_ptr<Form2> showPreview(QSize pixels, const QString& excelFile = QString())
{
    return showPreview(patternedPicture(pixels), excelFile);
}

inline QPoint picturePosition(const Form2& form)
{
    return QPoint(form.Picture1->twipsLeft(), form.Picture1->twipsTop());
}

} // namespace PreviewHelpers
