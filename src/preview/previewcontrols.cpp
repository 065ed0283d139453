#include "previewcontrols.h"

#include "app/twips.h"

#include <QFont>
#include <QPushButton>
#include <QScrollBar>

namespace PreviewControls {

namespace {

QFont buttonFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setPointSizeF(11.25);
    font.setBold(true);
    return font;
}

} // namespace

QRect toPixels(const QRect& twips)
{
    return Twips::toPixels(twips.x(), twips.y(), twips.width(), twips.height());
}

QPushButton* makeButton(const QString& caption, QWidget* parent, const QRect& twips)
{
    auto* button = new QPushButton(caption, parent);
    button->setGeometry(toPixels(twips));
    button->setFont(buttonFont());
    button->setMouseTracking(true);
    return button;
}

QScrollBar* makeScrollBar(Qt::Orientation orientation, QWidget* parent, const QRect& twips)
{
    auto* bar = new QScrollBar(orientation, parent);
    bar->setGeometry(toPixels(twips));
    bar->setRange(0, 0);
    bar->setSingleStep(1);
    bar->setPageStep(1);
    // The picture follows a released thumb, not a dragged one.
    bar->setTracking(false);
    return bar;
}

void setBarByPercent(QScrollBar& bar, double percent)
{
    const int value = ViewerMath::barValueForPercent(percent, bar.maximum());
    if (value >= 0)
        bar.setValue(value);
}

void applyScrollRange(QScrollBar& bar, const ViewerMath::ScrollRange& range, qint32 position)
{
    bar.setEnabled(range.enabled);
    bar.setMaximum(range.maximum);
    bar.setSingleStep(range.singleStep);
    bar.setPageStep(range.pageStep);
    if (range.enabled)
        bar.setValue(-position);
}

} // namespace PreviewControls
