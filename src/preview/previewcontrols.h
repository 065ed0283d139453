#pragma once

#include "viewermath.h"

#include <QRect>
#include <Qt>

class QPushButton;
class QScrollBar;
class QString;
class QWidget;

// The preview's controls, made and moved in twips as the window's layout gives them.
namespace PreviewControls {

QRect toPixels(const QRect& twips);
// A push button in the preview's bold Arial that tracks the pointer (the hand over it).
QPushButton* makeButton(const QString& caption, QWidget* parent, const QRect& twips);
// An empty bar that moves the picture when its thumb is released, not while it is dragged.
QScrollBar* makeScrollBar(Qt::Orientation orientation, QWidget* parent, const QRect& twips);
// Puts the bar at the percentage of its range; a percentage out of range leaves it.
void setBarByPercent(QScrollBar& bar, double percent);
// Gives the bar the range and steps; an enabled bar takes the picture's position.
void applyScrollRange(QScrollBar& bar, const ViewerMath::ScrollRange& range, qint32 position);

} // namespace PreviewControls
