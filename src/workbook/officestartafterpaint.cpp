#include "officestartafterpaint.h"

#include "spreadsheetoffice.h"

#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace {

constexpr int latestReleaseMs = 2000;

class FirstPaintWatch final : public QObject {
public:
    FirstPaintWatch(QWidget& window, SpreadsheetOffice& office)
        : QObject(&window)
        , mOffice(office)
    {
        window.installEventFilter(this);
        // A window that is never painted (shown on a hidden desktop) must not keep the office
        // from starting.
        QTimer::singleShot(latestReleaseMs, this, [this] { release(); });
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        // The paint reaches the screen after the paint events: the start waits for the next turn
        // of the event loop.
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, this, [this] { release(); });
        return false;
    }

private:
    void release()
    {
        if (mReleased)
            return;
        mReleased = true;
        deleteLater();
        mOffice.releaseStart();
    }

    SpreadsheetOffice& mOffice;
    bool mReleased = false;
};

} // namespace

void releaseOfficeStartAfterFirstPaint(QWidget& window, SpreadsheetOffice& office)
{
    new FirstPaintWatch(window, office);
}
