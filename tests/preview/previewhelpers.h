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

// The hand-over of the generation run: picture, result path, show.
inline std::unique_ptr<Form2> showPreview(QSize pixels, const QString& excelFile = QString())
{
    auto form = std::make_unique<Form2>();
    form->setPicture(patternedPicture(pixels));
    form->mExcelFile = excelFile;
    form->show();
    if (!QTest::qWaitForWindowExposed(form.get()))
        qWarning("preview window was not exposed");
    return form;
}

inline QPoint picturePosition(const Form2& form)
{
    return QPoint(form.Picture1->twipsLeft(), form.Picture1->twipsTop());
}

} // namespace PreviewHelpers
