#pragma once

#include <QWidget>

// A ring in the highlight colour over a control's border while the control has the keyboard
// focus, for a control that draws no focus of its own. It follows the control's size and lets
// the pointer through.
class FocusMark final : public QWidget {
    Q_OBJECT

public:
    explicit FocusMark(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void follow();

    QWidget* mControl;
};
