#include "appicon.h"

#include <QFile>
#include <QIconEngine>
#include <optional>

// Outside any namespace, as Q_INIT_RESOURCE requires.
static void registerIconResource()
{
    Q_INIT_RESOURCE(icons);
}

namespace {

// The SVG icon, made (which loads Qt's SVG icon plugin and reads the drawing) only when it is
// first drawn or measured, not when a window is given it.
class ProgramIconEngine final : public QIconEngine {
public:
    QIconEngine* clone() const override { return new ProgramIconEngine; }
    QString key() const override { return QStringLiteral("ferrowynd-program-icon"); }
    // A window given the icon asks this at once; the drawing is in the program's resources.
    bool isNull() override { return !QFile::exists(programIconResource); }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        svg().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return svg().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(
        const QSize& size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return svg().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        return svg().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return svg().availableSizes(mode, state);
    }

private:
    const QIcon& svg()
    {
        if (!mSvg)
            mSvg.emplace(programIconResource);
        return *mSvg;
    }

    std::optional<QIcon> mSvg;
};

} // namespace

QIcon programIcon()
{
    static const bool registered = (registerIconResource(), true);
    Q_UNUSED(registered);
    return QIcon(new ProgramIconEngine);
}
