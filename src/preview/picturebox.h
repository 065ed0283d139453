#pragma once

#include <QColor>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <memory>
#include <optional>

class SharpTiles;
class SheetMaster;

// A picture box: a picture, what is drawn on it and a geometry kept in twips. A box with a
// border clips its child boxes to the inner area, which client() returns.
class PictureBox final : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent, qint32 borderTwips = 0);

    void setTwipsGeometry(qint32 left, qint32 top, qint32 width, qint32 height);
    void moveTwips(qint32 left, qint32 top);
    // Throws AppError for a negative size.
    void setTwipsSize(qint32 width, qint32 height);

    qint32 twipsLeft() const { return mLeft; }
    qint32 twipsTop() const { return mTop; }
    qint32 twipsWidth() const { return mWidth; }
    qint32 twipsHeight() const { return mHeight; }
    qint32 innerWidth() const { return mWidth - 2 * mBorder; }
    qint32 innerHeight() const { return mHeight - 2 * mBorder; }

    // Where child boxes go: the inner area of a bordered box, the box itself otherwise.
    QWidget* client() { return mClient ? mClient : this; }

    void setBackColor(const QColor& colour);
    // With auto-size on, a new picture sizes the box to fit it.
    void setAutoSize(bool on);
    // The box shows its picture at natural size until something is painted over it.
    void setPicture(const QPixmap& picture);
    QPixmap picture() const { return mPicture; }
    void clearPicture();
    // What the box shows, at its own size in logical pixels.
    QPixmap image() const;
    // Shows a part of the source stretched onto the box; rectangles in twips. A copy at natural
    // size on a plain screen stays a 1:1 copy; a reduction averages the source's pixels, so thin
    // lines and small letters survive; an enlargement is interpolated as it is drawn, and only
    // where the box is visible. Throws AppError when the source holds no picture.
    void paintPicture(const QPixmap& source, const QRect& destination, const QRect& sourcePart);
    // A vector drawing of the pictures this box shows whole: what is drawn larger than the
    // picture's own pixels (zoom times device pixel ratio above 1) is drawn from it, sharp, as
    // its tiles come; null goes back to the stretched picture.
    void setSharperMaster(std::shared_ptr<const SheetMaster> master);
    const SheetMaster* sharperMaster() const;

signals:
    // Positions are in twips inside the box.
    void mouseDown(Qt::MouseButton button, float x, float y);
    void mouseMove(Qt::MouseButtons buttons, float x, float y);
    void mouseUp(Qt::MouseButton button, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Drawing {
        QPixmap source;
        QRect sourcePart;
        QRect target;
    };

    void fitToPicture();
    // Draws the shown part (in the box's inner area); with `now`, sharp parts do not wait.
    void draw(QPainter& painter, const QRect& shown, bool now) const;
    bool drawsSharp(const Drawing& drawing) const;
    void drawSharp(QPainter& painter, const Drawing& drawing, QSize device, qreal ratio,
        const QRect& shown, bool now) const;
    // The drawing's source averaged down to a size in device pixels; kept while the source stays,
    // so stepping between the smaller zooms averages each size once.
    QPixmap reduction(const Drawing& drawing, QSize device, qreal ratio) const;

    qint32 mBorder;
    qint32 mLeft = 0;
    qint32 mTop = 0;
    qint32 mWidth = 0;
    qint32 mHeight = 0;
    bool mAutoSize = false;
    QColor mBackColor = Qt::white;
    QPixmap mPicture;
    std::optional<Drawing> mDrawing;
    mutable QList<QPixmap> mReductions;
    mutable qint64 mReducedSource = 0;
    mutable QRect mReducedPart;
    QWidget* mClient;
    SharpTiles* mSharp = nullptr;
};
