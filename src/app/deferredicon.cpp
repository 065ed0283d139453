#include "deferredicon.h"

#include <QIconEngine>
#include <memory>
#include <optional>

namespace {

struct Deferred {
    QString key;
    std::function<QIcon()> make;
    std::function<bool()> present;
    std::optional<QIcon> icon;
};

class DeferredIconEngine final : public QIconEngine {
public:
    explicit DeferredIconEngine(std::shared_ptr<Deferred> deferred)
        : mDeferred(std::move(deferred))
    {
    }

    QIconEngine* clone() const override { return new DeferredIconEngine(mDeferred); }
    QString key() const override { return mDeferred->key; }
    bool isNull() override { return !mDeferred->present(); }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    // Asked for a size in device pixels: the icon asking has applied the pixel ratio, and sets
    // it on the picture it is given.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }

private:
    const QIcon& icon()
    {
        if (!mDeferred->icon)
            mDeferred->icon = mDeferred->make();
        return *mDeferred->icon;
    }

    std::shared_ptr<Deferred> mDeferred;
};

} // namespace

QIcon deferredIcon(QString key, std::function<QIcon()> make, std::function<bool()> present)
{
    return QIcon(new DeferredIconEngine(std::make_shared<Deferred>(
        Deferred { std::move(key), std::move(make), std::move(present), std::nullopt })));
}
