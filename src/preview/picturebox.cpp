#include "picturebox.h"

#include "app/apperror.h"
#include "app/twips.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace {

float toTwips(qreal pixels)
{
    return static_cast<float>(pixels * Twips::perPixel);
}

} // namespace

PictureBox::PictureBox(QWidget* parent, qint32 borderTwips)
    : QWidget(parent)
    , mBorder(borderTwips)
    , mClient(borderTwips > 0 ? new QWidget(this) : nullptr)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::setTwipsGeometry(qint32 left, qint32 top, qint32 width, qint32 height)
{
    moveTwips(left, top);
    setTwipsSize(width, height);
}

void PictureBox::moveTwips(qint32 left, qint32 top)
{
    mLeft = left;
    mTop = top;
    move(Twips::toPixels(left), Twips::toPixels(top));
}

void PictureBox::setTwipsSize(qint32 width, qint32 height)
{
    if (width < 0 || height < 0)
        throw AppError(QStringLiteral("Invalid property value"));
    mWidth = width;
    mHeight = height;
    resize(Twips::toPixels(width), Twips::toPixels(height));
    if (mClient) {
        const int border = Twips::toPixels(mBorder);
        mClient->setGeometry(
            border, border, Twips::toPixels(innerWidth()), Twips::toPixels(innerHeight()));
    }
    resizeSurface();
}

void PictureBox::setBackColor(const QColor& colour)
{
    mBackColor = colour;
    update();
}

void PictureBox::setAutoSize(bool on)
{
    mAutoSize = on;
    fitToPicture();
}

void PictureBox::setPicture(const QPixmap& picture)
{
    mPicture = picture;
    fitToPicture();
    if (!mImage.isNull()) {
        mImage.fill(mBackColor);
        if (!picture.isNull()) {
            QPainter painter(&mImage);
            painter.drawPixmap(0, 0, picture);
        }
    }
    update();
}

void PictureBox::clearPicture()
{
    mPicture = QPixmap();
    if (!mImage.isNull())
        mImage.fill(mBackColor);
    update();
}

void PictureBox::paintPicture(
    const QPixmap& source, const QRect& destination, const QRect& sourcePart)
{
    if (source.isNull())
        throw AppError(QStringLiteral("Invalid picture"));
    QPainter painter(&mImage);
    painter.drawPixmap(Twips::toPixels(destination.x(), destination.y(), destination.width(),
                           destination.height()),
        source,
        Twips::toPixels(sourcePart.x(), sourcePart.y(), sourcePart.width(), sourcePart.height()));
    update();
}

void PictureBox::fitToPicture()
{
    if (mAutoSize && !mPicture.isNull())
        setTwipsSize(Twips::fromPixels(mPicture.width()) + 2 * mBorder,
            Twips::fromPixels(mPicture.height()) + 2 * mBorder);
}

void PictureBox::resizeSurface()
{
    const QSize size(Twips::toPixels(innerWidth()), Twips::toPixels(innerHeight()));
    if (mImage.size() == size)
        return;
    // The surface keeps what was drawn where it still fits, like a persistent bitmap does.
    QPixmap surface(size);
    if (surface.isNull()) {
        mImage = surface;
        return;
    }
    surface.fill(mBackColor);
    if (!mImage.isNull()) {
        QPainter painter(&surface);
        painter.drawPixmap(0, 0, mImage);
    }
    mImage = surface;
}

void PictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int border = Twips::toPixels(mBorder);
    painter.fillRect(rect(), mBackColor);
    painter.drawPixmap(border, border, mImage);
    if (border > 0)
        qDrawWinPanel(&painter, rect(), palette(), true);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    emit mouseDown(event->button(), toTwips(event->position().x()), toTwips(event->position().y()));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMove(
        event->buttons(), toTwips(event->position().x()), toTwips(event->position().y()));
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseUp(event->button(), toTwips(event->position().x()), toTwips(event->position().y()));
}
