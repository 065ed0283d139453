#pragma once

#include "sheetmaster.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QSize>
#include <QTimer>
#include <memory>

// The sheet drawn sharp from its vector master at one size, in square tiles that are drawn a few
// at a time from the event loop, those the viewer shows first; the tiles of another size go when
// the size changes, and tiles far from what is shown go when they outgrow their budget.
class SharpTiles final : public QObject {
    Q_OBJECT

public:
    static constexpr int tileSize = 512;
    // Drawing tiles stops for a turn of the event loop after this long.
    static constexpr int stepMs = 25;
    static constexpr qint64 budgetBytes = 96LL * 1024 * 1024;

    explicit SharpTiles(QObject* parent = nullptr);

    void setMaster(std::shared_ptr<const SheetMaster> master);
    const SheetMaster* master() const { return mMaster.get(); }

    struct Tile {
        QRect place; // in pixels of the sheet drawn at the scaled size
        QImage image; // null while it is still to be drawn
    };
    // The tiles that cover the shown part of the sheet drawn at the scaled size; those not drawn
    // yet are drawn in the next turns of the event loop, and tilesReady() tells when.
    QList<Tile> tiles(QSize scaled, const QRect& shown);
    // Every tile that covers the shown part, drawn now.
    void drawAll(QSize scaled, const QRect& shown);
    qint64 bytes() const;

signals:
    void tilesReady();

private:
    void drawSome();
    QRect placeOf(QPoint index) const;
    void keepWithinBudget(const QRect& shown);

    std::shared_ptr<const SheetMaster> mMaster;
    QSize mScaled;
    QHash<QPoint, QImage> mDrawn;
    QList<QPoint> mWanted;
    QTimer mStep;
};
