#include "sharptiles.h"

#include <QElapsedTimer>

SharpTiles::SharpTiles(QObject* parent)
    : QObject(parent)
{
    mStep.setSingleShot(true);
    mStep.setInterval(0);
    connect(&mStep, &QTimer::timeout, this, &SharpTiles::drawSome);
}

void SharpTiles::setMaster(std::shared_ptr<const SheetMaster> master)
{
    mMaster = std::move(master);
    mDrawn.clear();
    mWanted.clear();
    mStep.stop();
}

QRect SharpTiles::placeOf(QPoint index) const
{
    return QRect(index * tileSize, QSize(tileSize, tileSize))
        .intersected(QRect(QPoint(0, 0), mScaled));
}

QList<SharpTiles::Tile> SharpTiles::tiles(QSize scaled, const QRect& shown)
{
    QList<Tile> result;
    if (!mMaster || scaled.isEmpty())
        return result;
    if (scaled != mScaled) {
        mScaled = scaled;
        mDrawn.clear();
        mWanted.clear();
    }
    const QRect part = shown.intersected(QRect(QPoint(0, 0), scaled));
    if (part.isEmpty())
        return result;
    // What was wanted and is no longer shown waits; what is shown now comes first.
    mWanted.clear();
    for (int row = part.top() / tileSize; row <= part.bottom() / tileSize; ++row) {
        for (int column = part.left() / tileSize; column <= part.right() / tileSize; ++column) {
            const QPoint index(column, row);
            const QImage drawn = mDrawn.value(index);
            if (drawn.isNull())
                mWanted << index;
            result << Tile { placeOf(index), drawn };
        }
    }
    if (!mWanted.isEmpty())
        mStep.start();
    keepWithinBudget(part);
    return result;
}

void SharpTiles::drawAll(QSize scaled, const QRect& shown)
{
    tiles(scaled, shown);
    while (!mWanted.isEmpty()) {
        const QPoint index = mWanted.takeFirst();
        mDrawn.insert(index, mMaster->render(mScaled, placeOf(index)));
    }
    mStep.stop();
}

void SharpTiles::drawSome()
{
    if (!mMaster)
        return;
    QElapsedTimer elapsed;
    elapsed.start();
    bool drewAny = false;
    while (!mWanted.isEmpty() && (!drewAny || elapsed.elapsed() < stepMs)) {
        const QPoint index = mWanted.takeFirst();
        if (!mDrawn.contains(index))
            mDrawn.insert(index, mMaster->render(mScaled, placeOf(index)));
        drewAny = true;
    }
    if (!mWanted.isEmpty())
        mStep.start();
    if (drewAny)
        emit tilesReady();
}

void SharpTiles::keepWithinBudget(const QRect& shown)
{
    if (bytes() <= budgetBytes)
        return;
    for (auto tile = mDrawn.begin(); tile != mDrawn.end();) {
        if (placeOf(tile.key()).intersects(shown))
            ++tile;
        else
            tile = mDrawn.erase(tile);
    }
}

qint64 SharpTiles::bytes() const
{
    qint64 total = 0;
    for (const QImage& image : mDrawn)
        total += image.sizeInBytes();
    return total;
}
