#include "firstpaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int latestMs = 2000;

class FirstPaintWatch final : public QObject {
public:
    FirstPaintWatch(QWidget& window, std::function<void()> then)
        : QObject(&window)
        , mThen(std::move(then))
    {
        window.installEventFilter(this);
        QTimer::singleShot(latestMs, this, [this] { done(); });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        // The paint reaches the screen after the paint events: the work waits for the next turn
        // of the event loop.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] { done(); });
        return false;
    }

private:
    void done()
    {
        if (mDone)
            return;
        mDone = true;
        deleteLater();
        mThen();
    }

    std::function<void()> mThen;
    bool mDone = false;
};

} // namespace

void afterFirstPaint(QWidget& window, std::function<void()> then)
{
    new FirstPaintWatch(window, std::move(then));
}
