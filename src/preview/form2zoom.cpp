#include "form2.h"

#include "picturebox.h"
#include "previewcontrols.h"
#include "viewermath.h"

#include "app/errortrap.h"
#include "app/twips.h"

#include <QApplication>
#include <QScrollBar>
#include <QWheelEvent>

// Form2's picture: its zoom (buttons, menu, Ctrl+wheel), its scroll bars, the wheel and the drag.

namespace {

using namespace PreviewControls;

qint32 toWholeTwips(double position)
{
    return static_cast<qint32>(ViewerMath::roundHalfEven(position));
}

} // namespace

void Form2::RedrawImage()
{
    ErrorTrap trap(QStringLiteral("Form2.RedrawImage"));
    const QRect before(Picture1->twipsLeft(), Picture1->twipsTop(), Picture1->twipsWidth(),
        Picture1->twipsHeight());
    const QPointF anchor = mZoomAnchor.value_or(
        QPointF(ViewerMath::visibleCentre(before.left(), before.width(), Picture2->innerWidth()),
            ViewerMath::visibleCentre(before.top(), before.height(), Picture2->innerHeight())));
    mZoomAnchor.reset();
    bool fits = false;
    trap.step(100, [&] { mZoomWidth = ViewerMath::zoomedLength(mOrigWidth, mZoom); });
    trap.step(102, [&] { mZoomHeight = ViewerMath::zoomedLength(mOrigHeight, mZoom); });
    trap.step(104, [&] { fits = ViewerMath::fitsLimits(mZoomWidth, mZoomHeight); });
    if (fits) {
        trap.step(106, [&] { Picture1->clearPicture(); });
        trap.step(108, [&] { Picture1->setTwipsSize(mZoomWidth, mZoomHeight); });
        trap.step(110, [&] {
            Picture1->paintPicture(Zoom_Ori->picture(), QRect(0, 0, mZoomWidth, mZoomHeight),
                QRect(0, 0, mOrigWidth, mOrigHeight));
        });
        trap.step(112, [&] { setCursor(Qt::ArrowCursor); });
        // The point the user looks at stays where it is; the bars follow the new size.
        trap.step(114, [&] {
            fitScrollBars(ViewerMath::keptPosition(before.left(), before.width(), mZoomWidth,
                              Picture2->innerWidth(), anchor.x()),
                ViewerMath::keptPosition(before.top(), before.height(), mZoomHeight,
                    Picture2->innerHeight(), anchor.y()));
        });
        return;
    }
    // Too large to paint: the picture stays as it was and the next step starts from 1.0.
    trap.step(124, [&] { mZoom = 1.0f; });
    trap.step(126, [&] { mOrigWidth = ViewerMath::originalLength(Zoom_Ori->innerWidth()); });
    trap.step(128, [&] { mOrigHeight = ViewerMath::originalLength(Zoom_Ori->innerHeight()); });
    trap.step(130, [&] { mZoomWidth = ViewerMath::zoomedLength(mOrigWidth, 1.0f); });
    trap.step(132, [&] { mZoomHeight = ViewerMath::zoomedLength(mOrigHeight, 1.0f); });
}

void Form2::InitScrollBars()
{
    fitScrollBars(0, 0);
}

void Form2::fitScrollBars(qint32 left, qint32 top)
{
    applyScrollRange(*HScroll1,
        ViewerMath::scrollRange(Picture1->twipsWidth(), Picture2->innerWidth(), mZoom), left);
    applyScrollRange(*VScroll1,
        ViewerMath::scrollRange(Picture1->twipsHeight(), Picture2->innerHeight(), mZoom), top);
    // A bar already at its value moves nothing.
    Picture1->moveTwips(ViewerMath::scrolledPosition(HScroll1->value()),
        ViewerMath::scrolledPosition(VScroll1->value()));
}

void Form2::ZoomBy(qint32 direction)
{
    SetZoom(ViewerMath::nextZoom(mZoom, direction));
}

void Form2::SetZoom(float factor)
{
    if (!ViewerMath::acceptsZoom(factor)) {
        mZoomAnchor.reset();
        return;
    }
    mZoom = factor;
    RedrawImage();
}

void Form2::zoomAround(qint32 direction, const QPointF& anchor)
{
    // The same step as the zoom buttons, reported under their names.
    ErrorTrap trap(direction == 0 ? QStringLiteral("Form2.PushButton1_Click")
                                  : QStringLiteral("Form2.PushButton2_Click"));
    trap.step(100, [&] {
        mZoomAnchor = anchor;
        ZoomBy(direction);
    });
}

void Form2::SetHScrollbarByPercent(QScrollBar& HScrollbar, double percent)
{
    setBarByPercent(HScrollbar, percent);
}

void Form2::SetVScrollbarByPercent(QScrollBar& VScrollbar, double percent)
{
    setBarByPercent(VScrollbar, percent);
}

void Form2::PushButton1_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.PushButton1_Click"));
    trap.step(100, [&] { ZoomBy(0); });
}

void Form2::PushButton2_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.PushButton2_Click"));
    trap.step(100, [&] { ZoomBy(1); });
}

void Form2::HScroll1_Change(int value)
{
    if (HScroll1->isSliderDown())
        return;
    Picture1->moveTwips(ViewerMath::scrolledPosition(value), Picture1->twipsTop());
}

void Form2::VScroll1_Change(int value)
{
    if (VScroll1->isSliderDown())
        return;
    Picture1->moveTwips(Picture1->twipsLeft(), ViewerMath::scrolledPosition(value));
}

void Form2::Picture1_MouseDown(Qt::MouseButton, float x, float y)
{
    mDragX = x;
    mDragY = y;
}

void Form2::picture1_MouseMove(Qt::MouseButtons buttons, float x, float y)
{
    if (buttons == Qt::NoButton)
        return;
    ErrorTrap trap(QStringLiteral("Form2.picture1_MouseMove"));
    double left = 0;
    double top = 0;
    trap.step(102, [&] { left = static_cast<double>(Picture1->twipsLeft()) - mDragX + x; });
    trap.step(104, [&] {
        left = ViewerMath::clampPosition(left, Picture2->innerWidth(), Picture1->twipsWidth());
    });
    trap.step(106, [&] { top = static_cast<double>(Picture1->twipsTop()) - mDragY + y; });
    trap.step(108, [&] {
        top = ViewerMath::clampPosition(top, Picture2->innerHeight(), Picture1->twipsHeight());
    });
    // The anchor stays: positions are relative to the moving picture, so the grabbed point
    // stays under the pointer.
    trap.step(110, [&] { Picture1->moveTwips(toWholeTwips(left), toWholeTwips(top)); });
}

void Form2::Picture1_MouseUp(Qt::MouseButton, float, float)
{
    ErrorTrap trap(QStringLiteral("Form2.Picture1_MouseUp"));
    double horizontal = 0;
    double vertical = 0;
    trap.step(100, [&] {
        horizontal = ViewerMath::dropPercent(
            Picture1->twipsLeft(), Picture1->twipsWidth(), Picture2->innerWidth());
    });
    trap.step(102, [&] {
        vertical = ViewerMath::dropPercent(
            Picture1->twipsTop(), Picture1->twipsHeight(), Picture2->innerHeight());
    });
    trap.step(104, [&] { SetHScrollbarByPercent(*HScroll1, horizontal); });
    trap.step(106, [&] { SetVScrollbarByPercent(*VScroll1, vertical); });
}

void Form2::mnuActualSize_Click()
{
    ErrorTrap trap(QStringLiteral("Form2.mnuActualSize_Click"));
    trap.step(100, [&] { SetZoom(1.0f); });
}

void Form2::viewportWheel(QObject* watched, QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const bool sideways = event->modifiers().testFlag(Qt::ShiftModifier) || delta.y() == 0;
    const int turn = delta.y() != 0 ? delta.y() : delta.x();
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // One step per notch, a fine wheel's turns adding up to one; over the viewport's border
        // the zoom keeps its centre.
        const QPoint inViewport = Picture2->client()->mapFromGlobal(
            static_cast<QWidget*>(watched)->mapToGlobal(event->position().toPoint()));
        const QPointF anchor = Picture2->client()->rect().contains(inViewport)
            ? QPointF(inViewport * Twips::perPixel)
            : QPointF(Picture2->innerWidth() / 2.0, Picture2->innerHeight() / 2.0);
        mWheelZoom += turn;
        while (mWheelZoom >= 120 || mWheelZoom <= -120) {
            const qint32 direction = mWheelZoom > 0 ? 0 : 1;
            mWheelZoom += direction == 0 ? -120 : 120;
            zoomAround(direction, anchor);
        }
        event->accept();
        return;
    }
    QScrollBar* bar = sideways ? HScroll1 : VScroll1;
    if (bar->isEnabled())
        bar->setValue(
            bar->value() - turn * QApplication::wheelScrollLines() * bar->singleStep() / 120);
    event->accept();
}
