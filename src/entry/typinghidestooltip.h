#pragma once

#include <QObject>

// Installed on the fields: a key typed into one takes any tooltip away, so that a tooltip
// shows on hover only and never stands over the figure being typed.
class TypingHidesToolTip final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
