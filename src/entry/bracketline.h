#pragma once

#include <QFrame>

// One line of a group heading's bracket: an upright or a tick one pixel thick. It paints itself
// on whole device pixels, so no scale factor rounds it away: the line is as thick as the scale
// factor rounded (at least one device pixel) and stands on the device pixels under the designed
// logical pixel. The widget reaches one pixel beyond the line on either side so that the line
// always lies inside its own clip.
class BracketLine final : public QFrame {
    Q_OBJECT

public:
    BracketLine(Qt::Orientation orientation, QWidget* parent);

    // The line's designed rectangle in the parent, in logical pixels.
    void setLine(const QRect& line);
    QRect line() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QRect lineInWidget() const;
};
