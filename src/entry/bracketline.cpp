#include "bracketline.h"

#include <QPainter>
#include <cmath>

namespace {

constexpr int margin = 1;

} // namespace

BracketLine::BracketLine(Qt::Orientation orientation, QWidget* parent)
    : QFrame(parent)
{
    // The shape still tells what the control is, to the skin among others.
    setFrameShape(orientation == Qt::Horizontal ? QFrame::HLine : QFrame::VLine);
    setFrameShadow(QFrame::Plain);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void BracketLine::setLine(const QRect& line)
{
    setGeometry(frameShape() == QFrame::HLine ? line.adjusted(0, -margin, 0, margin)
                                              : line.adjusted(-margin, 0, margin, 0));
}

QRect BracketLine::line() const
{
    return geometry().marginsRemoved(frameShape() == QFrame::HLine
            ? QMargins(0, margin, 0, margin)
            : QMargins(margin, 0, margin, 0));
}

QRect BracketLine::lineInWidget() const
{
    return QRect(QPoint(line().topLeft() - pos()), line().size());
}

void BracketLine::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QTransform toDevice = painter.deviceTransform();
    const qreal ratio = devicePixelRatioF();
    const int thickness = qMax(1, static_cast<int>(std::lround(ratio)));
    const QRectF logical(lineInWidget());
    const QPointF start = toDevice.map(logical.topLeft());
    const QPointF end = toDevice.map(logical.bottomRight());
    const QPointF middle = toDevice.map(logical.center());
    QRect device;
    if (frameShape() == QFrame::HLine) {
        const int row = static_cast<int>(std::floor(middle.y() - thickness / 2.0 + 0.5));
        device = QRect(
            QPoint(qRound(start.x()), row), QPoint(qRound(end.x()) - 1, row + thickness - 1));
    } else {
        const int column = static_cast<int>(std::floor(middle.x() - thickness / 2.0 + 0.5));
        device = QRect(
            QPoint(column, qRound(start.y())), QPoint(column + thickness - 1, qRound(end.y()) - 1));
    }
    // Drawn in device pixels: the painter's own coordinates would put the edges between them.
    painter.setWorldTransform(toDevice.inverted() * painter.worldTransform());
    painter.fillRect(device, palette().color(QPalette::WindowText));
}
