#include "picturebox.h"

#include "app/apperror.h"
#include "app/twips.h"
#include "sharptiles.h"

#include <QMouseEvent>
#include <QPaintEvent>
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
    update();
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
    mDrawing.reset();
    if (!picture.isNull())
        mDrawing = Drawing { picture, picture.rect(), picture.rect() };
    update();
}

void PictureBox::clearPicture()
{
    mPicture = QPixmap();
    mDrawing.reset();
    update();
}

QPixmap PictureBox::image() const
{
    QPixmap image(Twips::toPixels(innerWidth()), Twips::toPixels(innerHeight()));
    if (image.isNull())
        return image;
    image.fill(mBackColor);
    QPainter painter(&image);
    draw(painter, image.rect(), true);
    return image;
}

void PictureBox::paintPicture(
    const QPixmap& source, const QRect& destination, const QRect& sourcePart)
{
    if (source.isNull())
        throw AppError(QStringLiteral("Invalid picture"));
    mDrawing = Drawing { source,
        Twips::toPixels(sourcePart.x(), sourcePart.y(), sourcePart.width(), sourcePart.height()),
        Twips::toPixels(
            destination.x(), destination.y(), destination.width(), destination.height()) };
    update();
}

void PictureBox::fitToPicture()
{
    if (mAutoSize && !mPicture.isNull())
        setTwipsSize(Twips::fromPixels(mPicture.width()) + 2 * mBorder,
            Twips::fromPixels(mPicture.height()) + 2 * mBorder);
}

void PictureBox::setSharperMaster(std::shared_ptr<const SheetMaster> master)
{
    if (!mSharp) {
        mSharp = new SharpTiles(this);
        connect(mSharp, &SharpTiles::tilesReady, this, qOverload<>(&QWidget::update));
    }
    mSharp->setMaster(std::move(master));
    update();
}

const SheetMaster* PictureBox::sharperMaster() const
{
    return mSharp ? mSharp->master() : nullptr;
}

bool PictureBox::drawsSharp(const Drawing& drawing) const
{
    const SheetMaster* master = sharperMaster();
    return master && drawing.sourcePart == drawing.source.rect()
        && drawing.source.size() == master->pictureSize();
}

void PictureBox::drawSharp(QPainter& painter, const Drawing& drawing, QSize device, qreal ratio,
    const QRect& shown, bool now) const
{
    const QRectF visible(shown.intersected(drawing.target).translated(-drawing.target.topLeft()));
    const QRect part = QRectF(visible.topLeft() * ratio, visible.size() * ratio).toAlignedRect();
    if (now)
        mSharp->drawAll(device, part);
    const qreal toSourceX = qreal(drawing.source.width()) / device.width();
    const qreal toSourceY = qreal(drawing.source.height()) / device.height();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (const SharpTiles::Tile& tile : mSharp->tiles(device, part)) {
        const QPointF at
            = QPointF(drawing.target.topLeft()) + QPointF(tile.place.topLeft()) / ratio;
        if (tile.image.isNull()) {
            // Until its tile comes, that part is the picture stretched.
            painter.drawPixmap(QRectF(at, QSizeF(tile.place.size()) / ratio), drawing.source,
                QRectF(tile.place.x() * toSourceX, tile.place.y() * toSourceY,
                    tile.place.width() * toSourceX, tile.place.height() * toSourceY));
            continue;
        }
        QImage image = tile.image;
        image.setDevicePixelRatio(ratio);
        painter.drawImage(at, image);
    }
}

void PictureBox::draw(QPainter& painter, const QRect& shown, bool now) const
{
    if (!mDrawing || mDrawing->target.isEmpty() || mDrawing->sourcePart.isEmpty())
        return;
    const Drawing& drawing = *mDrawing;
    const qreal ratio = painter.device()->devicePixelRatioF();
    const QSize device = (QSizeF(drawing.target.size()) * ratio).toSize();
    const QSize source = drawing.sourcePart.size();
    if (device == source) {
        painter.drawPixmap(QRectF(drawing.target), drawing.source, QRectF(drawing.sourcePart));
        return;
    }
    if (device.width() <= source.width() && device.height() <= source.height()) {
        // A plain stretch would skip whole source rows and columns: grid lines and letter strokes
        // one pixel wide would drop out.
        painter.drawPixmap(drawing.target.topLeft(), reduction(drawing, device, ratio));
        return;
    }
    if (drawsSharp(drawing)) {
        drawSharp(painter, drawing, device, ratio, shown, now);
        return;
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(QRectF(drawing.target), drawing.source, QRectF(drawing.sourcePart));
}

QPixmap PictureBox::reduction(const Drawing& drawing, QSize device, qreal ratio) const
{
    if (drawing.source.cacheKey() != mReducedSource || drawing.sourcePart != mReducedPart) {
        mReductions.clear();
        mReducedSource = drawing.source.cacheKey();
        mReducedPart = drawing.sourcePart;
    }
    for (const QPixmap& reduced : std::as_const(mReductions))
        if (reduced.size() == device && reduced.devicePixelRatio() == ratio)
            return reduced;
    QImage part = drawing.source.toImage();
    if (drawing.sourcePart != part.rect())
        part = part.copy(drawing.sourcePart);
    QPixmap reduced
        = QPixmap::fromImage(part.scaled(device, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    reduced.setDevicePixelRatio(ratio);
    mReductions.append(reduced);
    return reduced;
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const int border = Twips::toPixels(mBorder);
    painter.fillRect(rect(), mBackColor);
    if (border > 0)
        painter.translate(border, border);
    draw(painter, event->rect().translated(-border, -border), false);
    painter.resetTransform();
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
